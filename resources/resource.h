/* Identifiers of the program's Windows resources, shared by tarnwell.rc and the code.
   101 (the icon) and 104 (the configuration dialog, controls 1000 to 1004) join these
   with the main window and that dialog. */
#ifndef TARNWELL_RESOURCE_H
#define TARNWELL_RESOURCE_H

#define IDD_PROGRESS 103
#define IDD_TRANSFER_LOG 105
#define IDC_LOG_LIST 1005

#endif
