// Internal to the binding: the test seam's side of the pacing spy (see
// kernel/KernelTesting.h).
#pragma once

#include "kernel/KernelTesting.h"

// Hands the call to the spy when one is set; nothing otherwise.
void KernelReportPacing(const PacingCall& call);
