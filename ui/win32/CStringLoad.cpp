// CString::LoadString, from the string table in the executable's resources, in the
// ANSI code page.
#include <vector>

#include "kernel/CString.h"

BOOL CString::LoadString(UINT nID) {
    std::vector<char> buffer(256);
    int n = 0;
    for (;;) {
        n = ::LoadStringA(GetModuleHandleA(nullptr), nID, buffer.data(),
                          static_cast<int>(buffer.size()));
        if (n < static_cast<int>(buffer.size()) - 1)
            break;
        buffer.resize(buffer.size() * 2); // it may have been cut
    }
    *this = CString(buffer.data(), n > 0 ? n : 0);
    return n > 0;
}
