// The process's command line as one string: the program path and each argument
// joined by single blanks; an argument that holds a blank or a tab, or is empty,
// stands in double quotes.
#pragma once

#include "kernel/WinTypes.h"

LPSTR GetCommandLineA();

// Called once by the entry routine with main()'s arguments.
void KernelInitCommandLine(int argc, char** argv);
