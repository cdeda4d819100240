// The soak driver's tick, the same on both platforms: see soak_driver.h.
#include "tests/soak/soak_driver.h"

#include "protocol/drop.h"
#include "protocol/poll.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

int SoakTick(WindowHandle owner, const char* folder)
{
    const std::string base = folder;
    if (FILE* quit = fopen((base + "quit").c_str(), "rb")) {
        fclose(quit);
        return 0;
    }
    // Renamed first, so that the soak never rewrites a request that is being read.
    const std::string taken = base + "drop.taken";
    if (rename((base + "drop").c_str(), taken.c_str()) == 0) {
        std::vector<std::string> paths;
        if (FILE* request = fopen(taken.c_str(), "rb")) {
            char line[512];
            while (fgets(line, sizeof line, request)) {
                line[strcspn(line, "\r\n")] = 0;
                paths.push_back(line);
            }
            fclose(request);
        }
        remove(taken.c_str());
        std::vector<const char*> list;
        for (const std::string& path : paths)
            list.push_back(path.c_str());
        int sent = SendDroppedFiles(owner, list.data(), (int)list.size());
        if (FILE* report = fopen((base + "report").c_str(), "ab")) {
            fprintf(report, "sent %d\n", sent);
            fclose(report);
        }
    }
    PollLink(owner);
    return 1;
}
