// Icon groups as data: each image as XPM text (16 colours of the standard palette,
// "None" for the pixels that the transparency mask leaves out).
#pragma once

#include "kernel/WinTypes.h"

struct IconImage {
    int cx;
    int cy;
    int nColors;
    const char* const* xpm;
};

struct IconGroup {
    UINT nID;
    WORD wLanguage;
    const IconImage* pImages; // largest first
    int nImages;
};

// NULL when the program has no such icon.
const IconGroup* FindIconGroup(UINT nID);
