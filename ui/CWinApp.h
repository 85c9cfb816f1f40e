// The application object and the entry routine.
#pragma once

#include <string>

#include "ui/CCmdTarget.h"
#include "ui/CWnd.h"

class CWinApp : public CCmdTarget {
public:
    // The one global application registers itself, so that AfxGetApp() returns it.
    // A null name: the application's name is the executable's file name without its
    // extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName;
    CWnd* m_pMainWnd; // cleared when its window is destroyed

    virtual BOOL InitApplication();
    // FALSE: no loop of the application's own runs; the entry routine ends.
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // The program's icon resource; shared, never destroyed.
    HICON LoadIcon(UINT nIDResource) const;

    // Dialogs have their three-dimensional look already; TRUE.
    BOOL Enable3dControlsStatic();

    // The standard help command: the program has no help contexts, nothing is shown.
    afx_msg void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    friend CWinApp* AfxGetApp();
    struct DefaultTag {};
    explicit CWinApp(DefaultTag);
    std::string m_strAppName;
    friend void UiSetAppName(CWinApp* pApp, const std::string& strName);
};

// The registered application; without one (tests) a default one owned by the binding.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Sets the locale, takes the command line, builds the Qt application (given the
// program's name only; Qt's own texts in the user's language; no settings kept), calls
// InitInstance, then Run or, when it returned FALSE, ExitInstance; returns their
// result. Without a display: one German line on stderr, and 1.
int AfxWinMain(int argc, char** argv);
