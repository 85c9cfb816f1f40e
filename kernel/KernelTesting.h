// Test-only seams of the operating-system binding. Nothing in the program uses them.
#pragma once

#include <chrono>
#include <functional>
#include <string>

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

// A modelled line: from now on a pseudo-terminal opened as a port carries what
// WriteFile writes to it, for the write's timing, as a serial line of its
// configured speed and character size: the bytes leave one after the other, each
// taking its start, data, parity and stop bits, and the kernel's output queue
// empties at that rate. Uart: a 16550 that reports its transmitter empty
// (TIOCSERGETLSR); Adapter: a USB adapter that does not. With hardware handshake
// on, the line stands still (nobody raises CTS). The bytes themselves reach the
// peer as soon as they are written. None: a pseudo-terminal has no line again.
enum class KernelLine { None, Uart, Adapter };
void KernelModelLine(KernelLine line);

// How WriteFile on a port waits for its bytes to leave: Fine, the binding's own
// way; Kernel, by the kernel's drain (tcdrain; on a modelled line the kernel's
// poll of the transmitter in sleeps of a jiffy at HZ=250), to compare with.
enum class KernelDrain { Fine, Kernel };
void KernelSetDrain(KernelDrain drain);

// When the modelled line of hPort has carried everything written to it so far;
// FALSE when no line is modelled or nothing was written to hPort yet.
BOOL KernelModelledLineIdleAt(HANDLE hPort, std::chrono::steady_clock::time_point& at);

// Sees the pacing operations as they are called: every CreateEventA (its name, empty
// for none, manual or auto reset, initial state and the handle it returns), every
// WaitForSingleObject (handle and time-out, seen before the wait) and every close of
// an event by CloseHandle. {} turns the spy off.
struct PacingCall {
    enum class Kind { CreateEvent, Wait, CloseEvent };
    Kind kind;
    HANDLE h;
    std::string name;
    BOOL bManualReset;
    BOOL bInitialState;
    DWORD dwMilliseconds;
};
void KernelSetPacingSpy(std::function<void(const PacingCall&)> spy);
