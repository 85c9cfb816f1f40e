// The command line: it preselects the port, the actions and the image file, and gives
// the panel its start selection (COM2; erase, and write too when there is any argument
// text). It never starts a run.
#include "kernel/CommandLine.h"
#include "panel/CKorvantoDlg.h"

// At construction: the whole command line, and the argument text after its first
// blank. A tab is no separator. A program path in double quotes may hold blanks of its
// own: when its closing quote is there, the path runs to it, and the argument text is
// what follows the first blank after that.
void CKorvantoDlg::CaptureCommandLine() {
    m_strCmdLine = GetCommandLineA();
    int nPathEnd = 0;
    if (m_strCmdLine.GetAt(0) == '"')
        nPathEnd = m_strCmdLine.Find('"', 1);
    if (nPathEnd < 0)
        nPathEnd = 0; // no closing quote: the first blank ends the program path
    int nBlank = m_strCmdLine.Find(' ', nPathEnd);
    if (nBlank >= 0)
        m_strArgs = m_strCmdLine.Mid(nBlank + 1);
}

// At the end of every data exchange, on the argument text as the previous run left it
// (trimmed and upper-cased). Check marks are only ever set here, never cleared; no
// click handler runs, so no interlock applies.
void CKorvantoDlg::ProcessCommandLine() {
    m_btnCom1.SendMessage(BM_SETCHECK, 0);
    m_btnCom2.SendMessage(BM_SETCHECK, 0);
    m_btnCom3.SendMessage(BM_SETCHECK, 0);
    m_btnCom4.SendMessage(BM_SETCHECK, 0);
    BOOL bPortGiven = FALSE;
    int nActions = 0;

    if (!m_strArgs.IsEmpty()) {
        m_strArgs.TrimRight();
        m_strArgs.TrimLeft();
        CString strToken = FileToken();
        if (!IsOptionToken(strToken)) {
            m_strImagePath = strToken;
            m_editFile.SetWindowText(m_strImagePath);
        }
        m_strArgs.MakeUpper();
        bPortGiven = ApplyPortOptions();
        nActions = ApplyActionOptions();
        m_btnWrite.EnableWindow(TRUE);
        m_btnVerify.EnableWindow(TRUE);
        if (nActions == 0) {
            m_btnWrite.SendMessage(BM_SETCHECK, 1);
            m_btnErase.SendMessage(BM_SETCHECK, 1);
        }
    }

    if (!bPortGiven) {
        m_btnCom2.SendMessage(BM_SETCHECK, 1);
        m_strPort = "COM2";
        if (nActions == 0)
            m_btnErase.SendMessage(BM_SETCHECK, 1);
    }
}

// The last word of the argument text: the content of the last quoted string when the
// text ends in a double quote, else what follows the last blank. A token with a percent
// sign (an unexpanded placeholder) names no file.
CString CKorvantoDlg::FileToken() const {
    CString strToken;
    int nLength = m_strArgs.GetLength();
    if (nLength > 0 && m_strArgs.GetAt(nLength - 1) == '"') {
        CString strQuoted = m_strArgs.Left(nLength - 1);
        strToken = strQuoted.Mid(strQuoted.ReverseFind('"') + 1);
    } else {
        strToken = m_strArgs.Mid(m_strArgs.ReverseFind(' ') + 1);
    }
    if (strToken.Find('%') >= 0)
        strToken.Empty();
    return strToken;
}

BOOL CKorvantoDlg::IsOptionToken(const CString& strToken) {
    static const LPCSTR options[] = {"/COM", "/ERASE", "/WRITE", "/TEST", "/VERIFY", "/LOCK"};
    CString strUpper = strToken;
    strUpper.MakeUpper();
    for (LPCSTR pszOption : options) {
        if (strUpper.Find(pszOption) >= 0)
            return TRUE;
    }
    return FALSE;
}

// Every port named is checked; the last one named in the order COM1 ... COM4 is used.
BOOL CKorvantoDlg::ApplyPortOptions() {
    CButton* radios[] = {&m_btnCom1, &m_btnCom2, &m_btnCom3, &m_btnCom4};
    BOOL bPortGiven = FALSE;
    for (int n = 1; n <= 4; ++n) {
        CString strPort = "COM" + CString(static_cast<char>('0' + n));
        if (m_strArgs.Find("/" + strPort) >= 0) {
            radios[n - 1]->SendMessage(BM_SETCHECK, 1);
            m_strPort = strPort;
            bPortGiven = TRUE;
        }
    }
    return bPortGiven;
}

int CKorvantoDlg::ApplyActionOptions() {
    const struct {
        LPCSTR pszOption;
        CButton* pBox;
    } actions[] = {{"/WRITE", &m_btnWrite},
                   {"/ERASE", &m_btnErase},
                   {"/TEST", &m_btnTransferTest},
                   {"/VERIFY", &m_btnVerify},
                   {"/LOCK", &m_btnLock}};
    int nActions = 0;
    for (const auto& action : actions) {
        if (m_strArgs.Find(action.pszOption) >= 0) {
            action.pBox->SendMessage(BM_SETCHECK, 1);
            ++nActions;
        }
    }
    return nActions;
}
