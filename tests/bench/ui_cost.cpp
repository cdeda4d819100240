// What the real status windows and alerts cost a session (see bench_line.h).
#include "tests/bench/bench_line.h"

#include "tests/support/desktop.h"
#include "ui/alerts.h"
#include "ui/progress.h"

void PrintUiCost(WindowHandle owner, TransferDirection direction, const char* name, long count)
{
    ShowProgress(owner, direction, name);
    auto start = std::chrono::steady_clock::now();
    for (long i = 1; i <= count; i++)
        StepProgress((int)i);
    double stepSeconds = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    int held = 0;
    for (long i = 0; i < count; i++)
        held += EscapeHeld();
    double escapeSeconds = SecondsSince(start);
    CloseProgress();
    RunEventLoop(50);
    long drawings = count / 64 > 0 ? count / 64 : 1;
    printf("ui, %ld bytes: progress step %.3f us per byte (%.1f us per drawing), Esc query %.3f us (%.0f per "
           "second, windows open)%s\n",
           count, 1e6 * stepSeconds / count, 1e6 * stepSeconds / drawings, 1e6 * escapeSeconds / count,
           count / escapeSeconds, held ? " (Esc was held)" : "");
}
