// Windows side of the start with Windows (autostart.h): the value "Tarnwell" in the user's
// Run key, which Explorer starts at each sign-in. The user's own key: no administrator needed.
#include "app/window/autostart.h"

#include "base/text.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

const char AutostartLabel[] = "Start with Windows";

static const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char ValueName[] = "Tarnwell";

int AutostartOn(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    LONG found = RegQueryValueExA(key, ValueName, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return found == ERROR_SUCCESS;
}

int SetAutostart(int on, char* reason)
{
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, RunKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
    if (result == ERROR_SUCCESS) {
        if (on) {
            // The path in UTF-16, whatever the system's code page: a folder named in another
            // alphabet still starts.
            std::wstring program(32768, L'\0');
            DWORD length = GetModuleFileNameW(NULL, &program[0], (DWORD)program.size());
            program.resize(length);
            std::wstring quoted = L"\"" + program + L"\"";
            result = length == 0 ? (LONG)GetLastError()
                                 : RegSetValueExW(key, L"Tarnwell", 0, REG_SZ, (const BYTE*)quoted.c_str(),
                                                  (DWORD)((quoted.size() + 1) * sizeof(wchar_t)));
        } else {
            result = RegDeleteValueA(key, ValueName);
            if (result == ERROR_FILE_NOT_FOUND)
                result = ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    if (result == ERROR_SUCCESS)
        return 1;
    char words[TextSize] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, (DWORD)result, 0, words,
                   sizeof words, NULL);
    words[strcspn(words, "\r\n")] = '\0';
    size_t end = strlen(words);
    if (end && words[end - 1] == '.')
        words[end - 1] = '\0';
    snprintf(reason, TextSize, "Windows' list of programs to start cannot be changed (%s)",
             words[0] ? words : "no reason given");
    return 0;
}
