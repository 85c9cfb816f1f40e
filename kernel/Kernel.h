// Everything the program uses of the operating system.
#pragma once

#include "kernel/WinTypes.h"
#include "kernel/CString.h"
#include "kernel/FileApi.h"
#include "kernel/CommApi.h"
#include "kernel/EventApi.h"
#include "kernel/ErrorApi.h"
#include "kernel/CommandLine.h"
