// The program's string table.
#pragma once

#include "kernel/WinTypes.h"

// NULL when the table has no such string.
LPCSTR FindStringResource(UINT nID);
