// What the fault matrix and the soak measure about the process itself: its open
// file descriptors and its resident memory.
#pragma once

#include <string>

// Entries in /proc/self/fd (the directory's own descriptor is not counted).
int OpenDescriptorCount();
// What is open beyond the standard descriptors, one "fd -> target" per line.
std::string OpenDescriptorList();
// VmRSS from /proc/self/status, in KiB.
long ResidentKiB();
// TRUE when an exclusive lock can be taken on path right now (nobody holds the
// port); the lock is dropped again at once.
bool NobodyLocks(const std::string& path);
// The same on a descriptor of the port that is open already; it stays open.
bool NobodyLocksFd(int fd);

// Under AddressSanitizer freed memory is held back in its quarantine, so the
// resident size grows with every allocation whether anything leaks or not: FALSE
// there. LeakSanitizer then looks for unreachable memory instead.
bool ResidentSizeTellsLeaks();
// The leaks LeakSanitizer finds right now (reported on stderr); 0 without it.
int LeaksFoundNow();
