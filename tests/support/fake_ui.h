// A stand-in for the ui layer (status windows and alerts) in tests of the link and the
// sessions: it records what they show and signal, in order, and lets a test hold the Esc
// key down at a chosen moment, without a display. Link it instead of tarnwell_status and
// tarnwell_alerts.
#ifndef TARNWELL_TEST_FAKE_UI_H
#define TARNWELL_TEST_FAKE_UI_H

#include "ui/window_handle.h"

#include <string>
#include <vector>

struct FakeUiRecord {
    // In order: "show <title>", "close", "log <line>", "beep", "connect-failure".
    std::vector<std::string> events;
    // The lines AddFailureEntry was given (why a transfer failed), in order.
    std::vector<std::string> failures;
    // Every count StepProgress was given, in order.
    std::vector<int> steps;
    // The owner given to the last ShowProgress or AddLogEntry.
    WindowHandle owner = nullptr;

    // Esc counts as held once StepProgress has been given this count (0: never) ...
    int escapeFromStep = 0;
    // ... or from this many-th question on (0: never). Both may be set.
    int escapeFromCheck = 0;
    // How many times EscapeHeld was asked.
    int escapeChecks = 0;
    // When set, StepProgress calls it with each count after recording it: a test's way to
    // act in the middle of a transfer.
    void (*onStep)(int count) = nullptr;

    // Events of one kind ("show", "log", ...), without the kind.
    std::vector<std::string> Events(const std::string& kind) const;
    int Beeps() const { return (int)Events("beep").size(); }
    int ConnectFailures() const { return (int)Events("connect-failure").size(); }
};

extern FakeUiRecord FakeUi;

// Forgets everything recorded and lets go of Esc.
void ResetFakeUi();

#endif
