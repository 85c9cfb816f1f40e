// Files and devices: open, read, write, size, close.
//
// A regular file opens as itself. "COM1" ... "COM4" (any case) are device names:
// COMn opens the path in the environment variable KORVANTO_COMn when it is set,
// else /dev/ttyS<n-1>, as a serial port - exclusively, binary, blocking I/O.
// A path that names no regular file and no port (directory, FIFO, socket, other
// device) fails at once with the system's error.
#pragma once

#include "kernel/WinTypes.h"

// On Windows all of this is the system's own, from <windows.h>.
#ifndef _WIN32
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);

// On a port: every byte is written (partial writes and interruptions handled),
// and the call returns only when the bytes have left.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);

// The low 32 bits of the size; the high part into *lpFileSizeHigh when asked for.
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);

// Closes a file, port or event.
BOOL CloseHandle(HANDLE hObject);
#endif // _WIN32
