// The failure reason of the transfer in progress (see failure.h).
#include "base/failure.h"

#include <stdarg.h>
#include <stdio.h>

char FailureReason[TextSize];

void ClearFailure(void)
{
    FailureReason[0] = 0;
}

int NoteFailure(const char* format, ...)
{
    if (FailureReason[0])
        return 0;
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(FailureReason, sizeof FailureReason, format, arguments);
    va_end(arguments);
    return 0;
}
