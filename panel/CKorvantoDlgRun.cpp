// The run behind "ausführen" and the file choice behind "Datei auswählen".
#include "device/CDeviceLink.h"
#include "panel/CKorvantoDlg.h"

// Opens the link on the chosen port and performs the ticked actions in the fixed order.
// Each box is read only when its step is due and the image path is copied just before
// write and again just before verify: while an ownerless report is open the user may
// still change them. Job results are not used; a failed job has reported itself.
void CKorvantoDlg::OnExecute() {
    CString strPort = m_strPort;
    CDeviceLink link(strPort);
    if (!link.m_bOpen)
        return;

    if (!IsChecked(m_btnTransferTest) && !IsChecked(m_btnErase) && !IsChecked(m_btnBlankTest) &&
        !IsChecked(m_btnWrite) && !IsChecked(m_btnVerify) && !IsChecked(m_btnLock))
        MessageBox("Es wurden keine Aktionen ausgewählt!", "Schwerer Fehler", MB_ICONERROR);

    m_progress.ShowWindow(SW_SHOW);
    if (IsChecked(m_btnTransferTest))
        link.TransferTest(&m_progress);
    if (IsChecked(m_btnErase))
        link.Erase(&m_progress);
    if (IsChecked(m_btnBlankTest))
        link.BlankTest(&m_progress);
    if (IsChecked(m_btnWrite))
        link.Write(&m_progress, m_strImagePath);
    if (IsChecked(m_btnVerify))
        link.Verify(&m_progress, m_strImagePath);
    if (IsChecked(m_btnLock))
        link.WriteLockBits(&m_progress);
    m_progress.ShowWindow(SW_HIDE);
}

// The open-file dialog records a path only; the write and verify jobs open the file.
void CKorvantoDlg::OnBrowse() {
    CFileDialog dlgFile(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||", this);
    if (dlgFile.DoModal() != IDOK)
        return;
    m_strImagePath = dlgFile.GetPathName();
    m_editFile.SetWindowText(m_strImagePath);
    m_btnWrite.EnableWindow(TRUE);
    m_btnVerify.EnableWindow(TRUE);
    m_btnWrite.SendMessage(BM_SETCHECK, 1);
    m_btnErase.SendMessage(BM_SETCHECK, 1);
    m_btnTransferTest.SendMessage(BM_SETCHECK, 0);
}
