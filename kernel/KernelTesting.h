// Test-only seams of the operating-system binding. Nothing in the program uses them.
#pragma once

#include "kernel/WinTypes.h"

enum class KernelFault { CreateFile, GetCommState, SetCommState, WriteFile, ReadFile, CloseHandle };

// The nCall-th next call of that operation (1 = the very next) fails with dwError;
// the real call is not made (a CloseHandle that fails this way leaves the object
// open). Each fault fires once; several may be pending at a time.
void KernelInjectFault(KernelFault op, DWORD dwError, int nCall = 1);
// Drops every pending fault.
void KernelClearFaults();

// GetCommandLineA returns text from now on; nullptr: back to the process's own.
void KernelOverrideCommandLine(LPCSTR text);
