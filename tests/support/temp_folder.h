// Fresh folders for tests that write files: under /tmp on Linux, under the Windows
// temporary folder in the Wine prefix on Windows.
#ifndef TARNWELL_TEST_TEMP_FOLDER_H
#define TARNWELL_TEST_TEMP_FOLDER_H

#include <string>

// A new empty folder; its path ends with the platform's separator.
std::string NewTestFolder();

// The platform's path separator, as text.
const char* PathSeparator();

// True when a regular file stands at `path`; then `contents` (when given) gets all of it.
bool ReadWholeFile(const std::string& path, std::string* contents = nullptr);
void WriteWholeFile(const std::string& path, const std::string& contents);

// Makes a folder (one level); true on success.
bool MakeTestFolder(const std::string& path);

// Platform part of ReadWholeFile.
bool IsRegularTestFile(const std::string& path);

#endif
