#include "ui/win32/WindowBinding.h"

#include <map>
#include <memory>

#include "ui/CWinApp.h"

namespace ui_win32 {

namespace {

struct Binding {
    CWnd* pWnd;
    WNDPROC pfnOwn;
};

// One user-interface thread: plain maps.
std::map<HWND, Binding>& Bindings() {
    static std::map<HWND, Binding> bindings;
    return bindings;
}

std::map<HWND, std::unique_ptr<CWnd>>& Temporaries() {
    static std::map<HWND, std::unique_ptr<CWnd>> temporaries;
    return temporaries;
}

LRESULT CALLBACK BoundWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

WNDPROC SetProcedure(HWND hWnd, WNDPROC pfn) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfn)));
}

// The last message a window gets: the tie goes, the object no longer names it, and
// the application's main window is cleared when it was this one.
LRESULT WindowGone(HWND hWnd, const Binding& binding, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcA(binding.pfnOwn, hWnd, WM_NCDESTROY, wParam, lParam);
    SetProcedure(hWnd, binding.pfnOwn);
    Bindings().erase(hWnd);
    binding.pWnd->m_hWnd = nullptr;
    CWinApp* pApp = AfxGetApp();
    if (pApp->m_pMainWnd == binding.pWnd)
        pApp->m_pMainWnd = nullptr;
    return result;
}

LRESULT CALLBACK BoundWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Bindings().find(hWnd);
    if (it == Bindings().end())
        return DefWindowProcA(hWnd, message, wParam, lParam);
    Binding binding = it->second;
    if (message == WM_NCDESTROY)
        return WindowGone(hWnd, binding, wParam, lParam);
    return binding.pWnd->WindowProc(message, wParam, lParam);
}

// Temporary objects of windows that have gone.
void DropStaleTemporaries() {
    auto& temporaries = Temporaries();
    for (auto it = temporaries.begin(); it != temporaries.end();) {
        if (IsWindow(it->first))
            ++it;
        else
            it = temporaries.erase(it);
    }
}

} // namespace

BOOL BindWindow(HWND hWnd, CWnd* pWnd) {
    if (!hWnd || !IsWindow(hWnd) || !pWnd)
        return FALSE;
    auto it = Bindings().find(hWnd);
    if (it != Bindings().end())
        return it->second.pWnd == pWnd;
    Bindings()[hWnd] = Binding{pWnd, SetProcedure(hWnd, &BoundWindowProc)};
    return TRUE;
}

void UnbindWindow(HWND hWnd, CWnd* pWnd) {
    auto it = Bindings().find(hWnd);
    if (it == Bindings().end() || it->second.pWnd != pWnd)
        return;
    SetProcedure(hWnd, it->second.pfnOwn);
    Bindings().erase(it);
}

CWnd* BoundObject(HWND hWnd) {
    auto it = Bindings().find(hWnd);
    return it == Bindings().end() ? nullptr : it->second.pWnd;
}

WNDPROC OwnProcedure(HWND hWnd) {
    auto it = Bindings().find(hWnd);
    return it == Bindings().end() ? nullptr : it->second.pfnOwn;
}

CWnd* TemporaryObject(HWND hWnd) {
    DropStaleTemporaries();
    std::unique_ptr<CWnd>& pTemporary = Temporaries()[hWnd];
    if (!pTemporary) {
        pTemporary = std::make_unique<CWnd>();
        pTemporary->m_hWnd = hWnd;
    }
    return pTemporary.get();
}

} // namespace ui_win32
