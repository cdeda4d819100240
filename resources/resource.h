/* Identifiers of the program's Windows resources, shared by tarnwell.rc and the code (both
   builds: the Linux dialog keys its controls by the same numbers). 101 (the icon) joins
   these with the main window. */
#ifndef TARNWELL_RESOURCE_H
#define TARNWELL_RESOURCE_H

#define IDD_PROGRESS 103
#define IDD_CONFIG 104
#define IDD_TRANSFER_LOG 105

/* The configuration dialog's controls. */
#define IDC_PORT 1000
#define IDC_DIRECTORY 1001
#define IDC_RATE 1002
#define IDC_XON 1003
#define IDC_PRESERVE 1004

#define IDC_LOG_LIST 1005

/* The two buttons that end a dialog, as windows.h numbers them (for the Linux build). */
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif

#endif
