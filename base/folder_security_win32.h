// The security a folder made by MakeParentFolders gets on Windows, kept apart so that tests
// can hold the descriptor to account: Wine keeps no more of a folder's DACL than its file
// modes. Implemented in folders_win32.cpp.
#ifndef TARNWELL_FOLDER_SECURITY_WIN32_H
#define TARNWELL_FOLDER_SECURITY_WIN32_H

// A new security descriptor with a protected DACL that gives the user, SYSTEM and
// Administrators full control, passed on to what is made inside, and nobody else anything
// (a PSECURITY_DESCRIPTOR). Null when it cannot be built; LocalFree frees it.
void* PrivateFolderSecurity();

#endif
