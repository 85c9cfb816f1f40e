// Internal to the binding: waiting until written bytes have left a serial line.
#pragma once

#include <chrono>
#include <cstddef>

using KernelClock = std::chrono::steady_clock;

// nBytes were handed to the terminal fd from queuedAt on. Returns 0 once they have
// left the line, or an errno value: the port's own error, or ETIMEDOUT when the
// line stopped moving (what was still queued is then dropped). A pseudo-terminal
// has no line: it returns at once.
int KernelDrainLine(int fd, std::size_t nBytes, KernelClock::time_point queuedAt);
