// An edit field.
#pragma once

#include "ui/CWnd.h"

class CEdit : public CWnd {};
