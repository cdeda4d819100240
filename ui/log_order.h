// The order of the transfer log's lines, shared so that a list without a sorted mode of
// its own (FLTK's) keeps them as a sorted Windows list box does: alphabetical, without
// regard to case.
#ifndef TARNWELL_LOG_ORDER_H
#define TARNWELL_LOG_ORDER_H

// Negative, 0 or positive as first sorts before, together with or after second. Bytes
// compare as unsigned values, with the ASCII capitals taken as small letters.
int CompareLogLines(const char* first, const char* second);

#endif
