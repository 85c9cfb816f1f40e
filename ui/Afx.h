// Everything the program uses of the windowing binding.
#pragma once

#include <cassert>

#include "ui/CButton.h"
#include "ui/CDC.h"
#include "ui/CDataExchange.h"
#include "ui/CDialog.h"
#include "ui/CEdit.h"
#include "ui/CFileDialog.h"
#include "ui/CMenu.h"
#include "ui/CPaintDC.h"
#include "ui/CProgressCtrl.h"
#include "ui/CRect.h"
#include "ui/CWinApp.h"
#include "ui/CWnd.h"
#include "ui/WinUser.h"

// A check the program's developer relies on; gone in release builds.
#ifndef ASSERT
#define ASSERT(f) assert(f)
#endif
