#include "res/StringTable.h"

#include "res/resource.h"

namespace {

struct StringResource {
    UINT nID;
    LPCSTR lpszText;
};

// German (0x0407). No application title: the title is the executable's name.
const StringResource kStrings[] = {
    {IDS_INFOMENU, "Inf&o über Korvanto..."},
};

} // namespace

LPCSTR FindStringResource(UINT nID) {
    for (const StringResource& s : kStrings) {
        if (s.nID == nID)
            return s.lpszText;
    }
    return nullptr;
}
