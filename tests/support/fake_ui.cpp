// The test double of the ui layer: see fake_ui.h.
#include "tests/support/fake_ui.h"

#include "ui/alerts.h"
#include "ui/progress.h"
#include "ui/transfer_log.h"

FakeUiRecord FakeUi;

std::vector<std::string> FakeUiRecord::Events(const std::string& kind) const
{
    std::vector<std::string> found;
    for (const std::string& event : events) {
        if (event == kind)
            found.push_back("");
        else if (event.compare(0, kind.size() + 1, kind + " ") == 0)
            found.push_back(event.substr(kind.size() + 1));
    }
    return found;
}

void ResetFakeUi()
{
    FakeUi = FakeUiRecord();
}

void ShowProgress(WindowHandle owner, TransferDirection direction, const char* name)
{
    char title[ProgressTitleSize];
    ProgressTitle(title, sizeof title, direction, name);
    FakeUi.owner = owner;
    FakeUi.events.push_back(std::string("show ") + title);
}

void StepProgress(int count)
{
    FakeUi.steps.push_back(count);
    if (FakeUi.onStep)
        FakeUi.onStep(count);
}

void CloseProgress(void)
{
    FakeUi.events.push_back("close");
}

void AddLogEntry(WindowHandle owner, const char* line)
{
    FakeUi.owner = owner;
    FakeUi.events.push_back(std::string("log ") + line);
}

void AddFailureEntry(WindowHandle, const char* line)
{
    FakeUi.failures.push_back(line);
}

int EscapeHeld(void)
{
    FakeUi.escapeChecks++;
    if (FakeUi.escapeFromCheck > 0 && FakeUi.escapeChecks >= FakeUi.escapeFromCheck)
        return 1;
    // Counts only grow, so the last one tells.
    return FakeUi.escapeFromStep > 0 && !FakeUi.steps.empty() &&
           FakeUi.steps.back() >= FakeUi.escapeFromStep;
}

void ShowConnectFailure(const char*)
{
    FakeUi.events.push_back("connect-failure");
}

void SignalSuccess(void)
{
    FakeUi.events.push_back("beep");
}
