// The root of everything that has a message map: windows and the application.
#pragma once

#include "kernel/WinTypes.h"
#include "ui/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // Looks the message up in this object's map, then in its bases' maps; the first
    // entry that matches runs. FALSE when no entry matched.
    BOOL DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
