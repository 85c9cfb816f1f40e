// A modal dialog built from its template in the resources.
#pragma once

#include "ui/CDataExchange.h"
#include "ui/CWnd.h"

class CDialog : public CWnd {
public:
    // No parent: the dialog is owned by the application's main window when that has one.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the window and its controls, calls OnInitDialog (the focus goes to the
    // first tab stop when it returns TRUE), disables the owner, runs the dialog's own
    // loop until EndDialog, enables the owner again, destroys the window and returns
    // the result; -1 when the template is missing.
    virtual INT_PTR DoModal();

    // Base: UpdateData(FALSE); TRUE.
    virtual BOOL OnInitDialog();

    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();     // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel(); // EndDialog(IDCANCEL)

    UINT m_nIDHelp;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    HWND OwnerWindow() const;
    struct ModalState;
    ModalState* m_pModal; // while DoModal runs
};
