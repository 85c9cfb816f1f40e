#include "ui/TestSeams.h"

#include "ui/internal/Controls.h"
#include "ui/internal/Seams.h"
#include "ui/internal/Window.h"

namespace {

std::function<void(const SpiedMessage&)>& Spy() {
    static std::function<void(const SpiedMessage&)> spy;
    return spy;
}

std::function<int(const BoxCall&)>& BoxResponder() {
    static std::function<int(const BoxCall&)> responder;
    return responder;
}

std::function<BOOL(CString&)>& FileDialogResponder() {
    static std::function<BOOL(CString&)> responder;
    return responder;
}

} // namespace

void SetMessageSpy(std::function<void(const SpiedMessage&)> spy) {
    Spy() = std::move(spy);
}

void SetBoxResponder(std::function<int(const BoxCall&)> responder) {
    BoxResponder() = std::move(responder);
}

void SetFileDialogResponder(std::function<BOOL(CString& path)> responder) {
    FileDialogResponder() = std::move(responder);
}

HWND CreateTestControl(LPCSTR lpClassName, int nCtrlId, BOOL bVisible, DWORD dwStyle) {
    dwStyle = (dwStyle & ~WS_VISIBLE) | (bVisible ? WS_VISIBLE : 0);
    HWND hWnd = ui_internal::CreateControl(nullptr, nullptr, lpClassName, dwStyle, 0, nCtrlId,
                                           std::string(), nullptr);
    if (bVisible)
        ui_internal::FindWindowRecord(hWnd)->widget->show();
    return hWnd;
}

void DestroyTestControl(HWND hWnd) {
    ui_internal::DestroyWindowAndRecord(hWnd);
}

namespace ui_internal {

void SpyMessage(const Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Spy())
        return;
    auto spy = Spy();
    spy(SpiedMessage{w.hWnd, w.nCtrlId, message, wParam, lParam});
}

std::function<int(const BoxCall&)> CurrentBoxResponder() {
    return BoxResponder();
}

std::function<BOOL(CString&)> CurrentFileDialogResponder() {
    return FileDialogResponder();
}

} // namespace ui_internal
