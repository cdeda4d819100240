// The platform half of the Esc query, below the answer cache in alerts.cpp: the key's state
// at this moment. One implementation per platform, in alerts_win32.cpp and alerts_fltk.cpp.
#ifndef TARNWELL_ESCAPE_KEY_H
#define TARNWELL_ESCAPE_KEY_H

// Non-zero while the Esc key is down, asked of the system now.
int EscapeDownNow(void);

#endif
