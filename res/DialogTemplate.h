// Dialog templates as data: the dialog and every control row, in template order.
// Positions and sizes are in dialog units; styles are the platform's values.
#pragma once

#include "kernel/WinTypes.h"

struct DialogItemTemplate {
    int nID;
    LPCSTR lpszClass; // "BUTTON", "EDIT", "STATIC", "msctls_progress32"
    DWORD dwStyle;
    DWORD dwExStyle;
    LPCSTR lpszText;    // NULL when the text is a resource id
    UINT nTextResource; // the resource the text names (an icon for SS_ICON), else 0
    short x;
    short y;
    short cx;
    short cy;
    DWORD dwHelpID;
};

struct DialogTemplate {
    UINT nID;
    WORD wLanguage;
    BOOL bExtended; // an extended template (help ids, weight, italic, character set)
    DWORD dwStyle;
    DWORD dwExStyle;
    short x;
    short y;
    short cx;
    short cy;
    LPCSTR lpszMenu;  // NULL: none
    LPCSTR lpszClass; // NULL: the standard dialog class
    LPCSTR lpszCaption;
    WORD wPointSize;
    WORD wWeight;
    BOOL bItalic;
    BYTE bCharSet;
    LPCSTR lpszTypeFace;
    DWORD dwHelpID;
    const DialogItemTemplate* pItems;
    int nItems;
};

// NULL when the program has no such template.
const DialogTemplate* FindDialogTemplate(UINT nID);
