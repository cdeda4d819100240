// A stand-in for ui/alerts.h, linked into tests in place of the real alerts (link the
// tarnwell_fake_alerts objects): the Esc key is a variable, and the message box and the beep
// are only counted, so no test waits for a person.
#ifndef TARNWELL_TEST_FAKE_ALERTS_H
#define TARNWELL_TEST_FAKE_ALERTS_H

// What EscapeHeld answers.
extern int FakeEscapeDown;

// How often each was called since the last ResetFakeAlerts.
extern int EscapeQueries;
extern int ConnectFailuresShown;
extern int SuccessSignals;

// Esc up and every count back to 0.
void ResetFakeAlerts();

#endif
