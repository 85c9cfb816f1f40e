// CString::LoadString, from the program's string table.
#include "kernel/CString.h"
#include "res/StringTable.h"

BOOL CString::LoadString(UINT nID) {
    LPCSTR lpszText = FindStringResource(nID);
    *this = lpszText ? lpszText : "";
    return lpszText != nullptr;
}
