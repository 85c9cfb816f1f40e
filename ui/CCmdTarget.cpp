#include "ui/CCmdTarget.h"

#include "ui/WinUser.h"

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, WPARAM wParam) {
    if (e.nMessage != message)
        return false;
    if (message != WM_COMMAND)
        return true;
    DWORD w = static_cast<DWORD>(wParam);
    return e.nCode == HIWORD(w) && (e.nID & 0xFFFFu) == LOWORD(w);
}

} // namespace

BOOL CCmdTarget::DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nMessage != 0; ++e) {
            if (Matches(*e, message, wParam)) {
                LRESULT result = e->pfnThunk(this, wParam, lParam);
                if (pResult)
                    *pResult = result;
                return TRUE;
            }
        }
    }
    return FALSE;
}
