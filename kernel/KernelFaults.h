// Internal to the binding: the test seam's side (see kernel/KernelTesting.h).
#pragma once

#include "kernel/KernelTesting.h"

// Counts one call of op. TRUE when an injected fault fires for this call: the
// thread's last error is then set and the caller must fail without the real call.
bool KernelFaultFires(KernelFault op);
