// The diagnostic sink.
#include "common/trace.h"

/* The text goes to the debug output, which discards it unless a debugger is attached. */
void TraceMessage(CString message) {
    OutputDebugStringW(message);
}
