// Internal to the binding: claiming a serial port against programs that take no
// flock on it.
//
// Linux lets a program see two things of others that use a terminal: the descriptors
// under /proc/<pid>/fd (every process's to root, a user's own processes' to a user) and
// the UUCP lock file of terminal programs, /var/lock/LCK..<name> holding the owner's pid
// as ten ASCII digits and a line feed.
#pragma once

#include <string>

// For a terminal just opened as fd from path: EBUSY when another process holds the
// same terminal open or a lock file names a live process other than this one; a lock
// file of a process that is gone is removed. Otherwise the lock file is created and
// kept for fd until KernelUnclaimPort (or until the process ends normally), and 0 is
// returned. Without a lock folder that this process may write, the port is claimed
// without a lock file. Another errno value when the lock file cannot be read or made.
int KernelClaimPort(int fd, const std::string& path);

// Removes the lock file taken for fd, if there is one.
void KernelUnclaimPort(int fd);

// The lock file's path for a terminal's path: the folder, "LCK..", and the base name
// of the device the path leads to (symbolic links followed).
std::string KernelPortLockPath(const std::string& path);
