// Internal to the binding: setting the thread's last error.
#pragma once

#include <string>

#include "kernel/WinTypes.h"

// A failing call sets its error code; any detail of an earlier failure is dropped.
void KernelFail(DWORD dwError);
// As KernelFail, and the system text for this code on this thread ends with
// " (detail)" until the next failure - used to name the device a port name stood for.
void KernelFailWithDetail(DWORD dwError, const std::string& detail);
// The detail kept for dwError, or empty when dwError is not the thread's last
// error or no detail was kept.
std::string KernelErrorDetail(DWORD dwError);
