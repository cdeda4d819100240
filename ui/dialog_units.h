// Dialog units to pixels, as Windows lays out a dialog template: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an eighth of its
// height. Shared arithmetic; the Linux windows use it to get the Windows sizes.
#ifndef TARNWELL_DIALOG_UNITS_H
#define TARNWELL_DIALOG_UNITS_H

// The font's average character width as Windows reckons it, from the width in pixels of
// the 52 letters "A".."Z" and "a".."z" set in a row: half of width/26, rounded up.
int DialogBaseWidth(int alphabetWidth);

// units * baseWidth / 4 and units * baseHeight / 8, rounded to the nearest pixel (halves
// away from zero), as MapDialogRect does.
int DialogUnitsToWidth(int units, int baseWidth);
int DialogUnitsToHeight(int units, int baseHeight);

#endif
