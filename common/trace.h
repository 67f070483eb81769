// The diagnostic sink every failure path reports to.
#pragma once

#include "platform/windows.h"

/* Discards the text: it writes, shows and keeps nothing (an attached debugger may see it). */
void TraceMessage(CString message);
