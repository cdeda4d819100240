// Platform help for the send tests: paths that are not regular files, and sources that
// open as regular files and then fail to read.
#ifndef TARNWELL_TEST_SEND_PROBE_H
#define TARNWELL_TEST_SEND_PROBE_H

#include <string>
#include <vector>

// Paths that open on this platform but name no regular file (devices, a FIFO made in
// `folder`). Folders are not among them: the tests make those on both platforms alike.
std::vector<std::string> NonFilePaths(const std::string& folder);

// A regular file whose very first read fails in the kernel; empty where there is none.
std::string FileThatFailsToRead();

// Notes the file that the program is about to open, before SendFile is called.
void ExpectOpening(const std::string& path);

// Swaps the descriptor through which the program reads that file, while it reads it, for
// one open on the same file for writing only: every later read of the stream fails as a
// read error, not as the end of the file. False when no such descriptor is open.
bool BreakOpenFile();

#endif
