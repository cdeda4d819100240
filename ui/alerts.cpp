// The alerts' shared part: the Esc query, which answers from a short-lived memory of the
// platform's own answer (escape_key.h).
#include "ui/alerts.h"

#include "base/clock.h"
#include "ui/escape_key.h"

// How long an answer about the Esc key is used before the system is asked again: 5 ms. Each
// question is a round trip to a server (X on Linux; Wine's, once the program has windows);
// asked after every byte, that would cap a transfer far below the speed of the line. A
// person holding Esc holds it much longer than this.
enum { EscapeAnswerMicroseconds = 5000 };

int EscapeHeld(void)
{
    static int asked = 0;
    static long long askedAt = 0;
    static int held = 0;
    long long now = ClockMicroseconds();
    if (asked && now - askedAt < EscapeAnswerMicroseconds)
        return held;
    held = EscapeDownNow();
    asked = 1;
    askedAt = now;
    return held;
}
