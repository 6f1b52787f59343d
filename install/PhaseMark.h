// Marks the end of one phase of a run for the benchmark's timing build of the
// setup program (LUMIDOR_PHASE_MARKS): a debug string that Wine can stamp
// with the time. The shipped program has no marks.
#pragma once

#ifdef LUMIDOR_PHASE_MARKS
#include <windows.h>
#define MARK_PHASE(name) OutputDebugStringA("lumidor-phase " name)
#else
#define MARK_PHASE(name) ((void)0)
#endif
