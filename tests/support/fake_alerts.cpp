// The test stand-in for the alerts: see fake_alerts.h.
#include "tests/support/fake_alerts.h"

#include "ui/alerts.h"

int FakeEscapeDown = 0;
int EscapeQueries = 0;
int ConnectFailuresShown = 0;
int SuccessSignals = 0;

void ResetFakeAlerts()
{
    FakeEscapeDown = 0;
    EscapeQueries = 0;
    ConnectFailuresShown = 0;
    SuccessSignals = 0;
}

int EscapeHeld(void)
{
    EscapeQueries++;
    return FakeEscapeDown;
}

void ShowConnectFailure(const char*)
{
    ConnectFailuresShown++;
}

void SignalSuccess(void)
{
    SuccessSignals++;
}
