// Message maps: each class that handles messages lists them between
// BEGIN_MESSAGE_MAP(theClass, baseClass) and END_MESSAGE_MAP(), and declares
// DECLARE_MESSAGE_MAP() in its class body. Handlers are named as plain member names:
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_SYSCOMMAND()
//       ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
//       ON_COMMAND(ID_HELP, CWinApp::OnHelp)   // a base's handler, qualified by its class
//   END_MESSAGE_MAP()
//
// Every entry holds a small thunk, instantiated for the class and the member, that
// converts the target with static_cast and calls the member with its own parameter
// types: a handler of the wrong signature does not compile, and no member-function
// pointer is ever cast to another type.
#pragma once

#include <type_traits>

#include "kernel/WinTypes.h"

class CCmdTarget;
struct HICON__;

#define afx_msg

typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // 0 ends the map
    UINT nCode;    // WM_COMMAND: the notification code (BN_CLICKED, 0 for commands)
    UINT nID;      // WM_COMMAND: the control or command id
    AFX_PMSGTHUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)(); // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The member pointer P must be a member of T or of one of T's bases, of type F.
template <class F, class P> struct AfxIsMemberOfType : std::false_type {};
template <class F, class B> struct AfxIsMemberOfType<F, F B::*> : std::true_type {
    typedef B Class;
};

template <class T, class F, auto pmf> constexpr void AfxCheckHandler() {
    static_assert(AfxIsMemberOfType<F, decltype(pmf)>::value,
                  "message-map handler has the wrong signature");
    static_assert(std::is_base_of_v<typename AfxIsMemberOfType<F, decltype(pmf)>::Class, T>,
                  "message-map handler is no member of the class or its bases");
}

template <class T, auto pmf> LRESULT AfxThunkVoid(CCmdTarget* pTarget, WPARAM, LPARAM) {
    AfxCheckHandler<T, void(), pmf>();
    (static_cast<T*>(pTarget)->*pmf)();
    return 0;
}

template <class T, auto pmf>
LRESULT AfxThunkSysCommand(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) {
    AfxCheckHandler<T, void(UINT, LPARAM), pmf>();
    (static_cast<T*>(pTarget)->*pmf)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, auto pmf> LRESULT AfxThunkQueryDragIcon(CCmdTarget* pTarget, WPARAM, LPARAM) {
    AfxCheckHandler<T, HICON__*(), pmf>();
    return reinterpret_cast<LRESULT>((static_cast<T*>(pTarget)->*pmf)());
}

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static_cast<void>(sizeof(ThisClass*));                                                     \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

// WM_COMMAND with notification code 0 from a menu, an accelerator or a button.
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, 0, static_cast<UINT>(id), &AfxThunkVoid<ThisClass, &ThisClass::memberFxn>},

#define ON_BN_CLICKED(id, memberFxn)                                                               \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                                                \
     &AfxThunkVoid<ThisClass, &ThisClass::memberFxn>},

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, &AfxThunkSysCommand<ThisClass, &ThisClass::OnSysCommand>},

// void OnPaint()
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &AfxThunkVoid<ThisClass, &ThisClass::OnPaint>},

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, &AfxThunkQueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
