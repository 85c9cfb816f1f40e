// Events and timed waits.
#pragma once

#include "kernel/WinTypes.h"

// On Windows all of this is the system's own, from <windows.h>.
#ifndef _WIN32
// No file, semaphore or shared-memory object outlives the process.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);

// A wait with a time-out lasts at least that long unless the object is signalled,
// also on a NULL or invalid handle.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
#endif // _WIN32
