// The program under test as the soak sees it, from outside: started in a process of its own
// on this build's display and line, looked at (descriptors, memory) and stopped. Today that
// program is the soak driver (soak_driver.h); this is the one place that says so.
#ifndef TARNWELL_SOAK_PROGRAM_H
#define TARNWELL_SOAK_PROGRAM_H

#include <string>

// Starts the program with the soak's folder (ending with a separator). The settings (port,
// store directory) must stand before. False when it could not be started.
bool StartProgram(const std::string& folder);

// True while the program runs.
bool ProgramRunning();

// The program's open descriptors and resident memory, from the system's view of its process
// (/proc; under Wine, of the Wine process that runs it); -1 where they cannot be seen.
struct ProgramUsage {
    long descriptors = -1;
    long rssKb = -1;
};
ProgramUsage MeasureProgram();

// Asks the program to end (a file "quit" in the folder), waits for it, and stops it when it
// does not end in time.
void StopProgram(const std::string& folder);

#endif
