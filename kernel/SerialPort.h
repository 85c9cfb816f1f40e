// Internal to the binding: serial-port names and opening a port.
#pragma once

#include <string>

struct termios;

// "COM1" ... "COM4" in any case name ports: the path in KORVANTO_COMn when that
// is set and not empty, else /dev/ttyS<n-1>. False for every other name.
bool KernelPortPath(const char* name, std::string& path);

// Opens path as a serial port: read/write, not the controlling terminal, without
// waiting for carrier detect, exclusively (flock; for a terminal also no other process
// holding it open and no live UUCP lock file, then TIOCEXCL and a lock file of its own;
// a held port gives EBUSY), raw, then blocking. 0 and fd, or an errno value. bTerminal
// tells whether the path is a terminal; a path that is none still opens.
int KernelOpenPort(const std::string& path, int& fd, bool& bTerminal);

// Releases the exclusive claim (and the lock file) before the port is closed.
void KernelReleasePort(int fd, bool bTerminal);

// Raw mode: every byte passes unaltered both ways, nothing is echoed or turned
// into a signal; the receiver is on and modem lines do not gate I/O. Leaves the
// fields a settings record carries (speed, size, parity, stop bits, flow control,
// XON/XOFF characters) as they are.
void KernelKeepRaw(termios& t);
// KernelKeepRaw plus no flow control, 8 data bits, no parity: the state a freshly
// opened port is put in, whatever it held before.
void KernelMakeRaw(termios& t);
