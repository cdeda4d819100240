/* Identifiers of the program's Windows resources, shared by tarnwell.rc and the code.
   104 (the configuration dialog, controls 1000 to 1004) joins these with that dialog. */
#ifndef TARNWELL_RESOURCE_H
#define TARNWELL_RESOURCE_H

#define IDI_TARNWELL 101
#define IDD_PROGRESS 103
#define IDD_TRANSFER_LOG 105
#define IDC_LOG_LIST 1005

#endif
