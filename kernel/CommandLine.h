// The process's command line as one string: the program path and each argument
// joined by single blanks; an argument that holds a blank or a tab, or is empty,
// stands in double quotes.
#pragma once

#include "kernel/WinTypes.h"

// On Windows the system's own, from <windows.h>; it keeps the line as the process
// was started with it.
#ifndef _WIN32
LPSTR GetCommandLineA();

// Called once by the entry routine with main()'s arguments.
void KernelInitCommandLine(int argc, char** argv);
#endif // _WIN32
