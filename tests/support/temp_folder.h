// Fresh folders for tests (and benchmarks) that write files. All of them lie in one folder of
// the program's own under $TMPDIR (/tmp when it is not set; under Wine the same host folder,
// through drive Z:), which goes, with everything in it, when the program ends.
#ifndef TARNWELL_TEST_TEMP_FOLDER_H
#define TARNWELL_TEST_TEMP_FOLDER_H

#include <string>

// A new empty folder; its path ends with the platform's separator. A path that leads
// nowhere when no folder could be made, so that the test fails at its first file.
std::string NewTestFolder();

// The platform's path separator, as text.
const char* PathSeparator();

// True when a regular file stands at `path`; then `contents` (when given) gets all of it.
bool ReadWholeFile(const std::string& path, std::string* contents = nullptr);
void WriteWholeFile(const std::string& path, const std::string& contents);

// Files the program and the host's tools (the drag source) both reach: a new empty folder
// under the test run's folder, as a path of the host, ending with '/'.
std::string NewHostFolder();

// A path of the host as the program names it (Windows: through Wine's drive Z:, with
// backslashes: what a drop hands the program, and what its store directory must look like).
std::string ProgramPath(const std::string& hostPath);

// Makes a folder (one level); true on success.
bool MakeTestFolder(const std::string& path);

// Platform parts: ReadWholeFile's check, and the program's own folder (made here, its path
// ending with the separator; empty when it could not be made).
bool IsRegularTestFile(const std::string& path);
std::string MakeProgramFolder();

#endif
