// The calling thread's last error and the system's text for an error code.
#pragma once

#include "kernel/WinTypes.h"

// On Windows all of this is the system's own, from <windows.h>.
#ifndef _WIN32
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// With FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer is the
// address of an LPSTR that receives a buffer to be released with LocalFree.
// Returns the text's length, or 0 (and no buffer) when the code has no text.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                     LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
HLOCAL LocalFree(HLOCAL hMem);
#endif // _WIN32
