#include "device/CDeviceLink.h"

#include <string>

#include "kernel/Kernel.h"
#include "ui/WinUser.h"
#include "ui/CProgressCtrl.h"

namespace {

constexpr BYTE LEAD_1 = 0xEB;
constexpr BYTE LEAD_2 = 0x98;

constexpr int ERASE_WAITS = 250;
constexpr int LOCKBITS_WAITS = 250;
constexpr int IMAGE_WAITS = 30;
constexpr int TRANSFERTEST_RANGE = 259;
constexpr int BLANKTEST_SIZE = 2048;

// A settings record that holds nothing of the port: binary, no flow control.
DCB BinaryRecord() {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.fBinary = TRUE;
    return dcb;
}

// One pacing wait: 1 ms on an event that nothing signals.
HANDLE CreatePacingEvent() {
    return CreateEventA(nullptr, FALSE, FALSE, "warten");
}

// nWaits pacing waits; the bar does not change.
void Pace(int nWaits) {
    HANDLE hEvent = CreatePacingEvent();
    for (int i = 0; i < nWaits; ++i)
        WaitForSingleObject(hEvent, 1);
    CloseHandle(hEvent);
}

// nWaits pacing waits on the range 0..nWaits, position i after wait i.
void PaceShown(CProgressCtrl* pProgress, int nWaits) {
    HANDLE hEvent = CreatePacingEvent();
    pProgress->SetRange(0, static_cast<short>(nWaits));
    for (int i = 0; i < nWaits; ++i) {
        WaitForSingleObject(hEvent, 1);
        pProgress->SetPos(i);
    }
    CloseHandle(hEvent);
}

// The next byte of the image; FALSE (with the last error set) when none came.
BOOL ReadImageByte(HANDLE hFile, BYTE& b) {
    DWORD dwRead = 0;
    if (!ReadFile(hFile, &b, 1, &dwRead, nullptr))
        return FALSE;
    if (dwRead == 1)
        return TRUE;
    SetLastError(ERROR_HANDLE_EOF); // the file shrank while it was sent
    return FALSE;
}

// The system's text for dwError, or "Fehlercode N" when it has none.
CString SystemText(DWORD dwError) {
    LPSTR lpMsgBuf = nullptr;
    DWORD nLength = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                   nullptr, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                   reinterpret_cast<LPSTR>(&lpMsgBuf), 0, nullptr);
    if (nLength == 0 || lpMsgBuf == nullptr)
        return CString("Fehlercode ") + std::to_string(dwError).c_str();
    CString strText(lpMsgBuf);
    LocalFree(lpMsgBuf);
    return strText;
}

} // namespace

CDeviceLink::CDeviceLink(CString strPort) {
    m_bOpen = FALSE;
    m_hPort =
        CreateFileA(strPort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_hPort == INVALID_HANDLE_VALUE) {
        FatalError("Konnte kein Handle für die \nserielle Schnittstelle bekommen!");
        return;
    }

    DCB dcb = BinaryRecord();
    if (!GetCommState(m_hPort, &dcb)) {
        FatalError("Konnte den aktuellen Zustand der \nseriellen Schnittstelle nicht erfragen!");
        dcb = BinaryRecord();
    }
    dcb.BaudRate = CBR_1200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;

    if (SetCommState(m_hPort, &dcb))
        m_bOpen = TRUE;
    else
        FatalError("Konnte den aktuellen Zustand \nder seriellen Schnittstelle nicht verändern!");
}

CDeviceLink::~CDeviceLink() {
    if (m_hPort == INVALID_HANDLE_VALUE)
        return;
    if (!CloseHandle(m_hPort))
        FatalError("Probleme beim schließen des \nHandles der seriellen Schnittstelle!");
}

BOOL CDeviceLink::SendCommand(BYTE code) {
    BYTE frame[3] = {LEAD_1, LEAD_2, code};
    DWORD dwWritten = 0;
    if (WriteFile(m_hPort, frame, sizeof frame, &dwWritten, nullptr))
        return TRUE;
    FatalError("Fehler beim Schreiben\n auf der seriellen Schnittstelle !");
    return FALSE;
}

BOOL CDeviceLink::SendByte(BYTE b) {
    DWORD dwWritten = 0;
    if (WriteFile(m_hPort, &b, 1, &dwWritten, nullptr))
        return TRUE;
    FatalError("Fehler beim Schreiben \nauf die serielle Schnittstelle !");
    return FALSE;
}

void CDeviceLink::FatalError(CString strMessage) {
    DWORD dwError = GetLastError(); // first of all: left by the call that failed
    CString strText = SystemText(dwError);
    if (!strMessage.IsEmpty())
        strText = strMessage + "\n" + strText;
    MessageBoxA(nullptr, strText, "Schwerer Fehler", MB_OK | MB_ICONERROR);
}

BOOL CDeviceLink::TransferTest(CProgressCtrl* pProgress) {
    pProgress->SetRange(0, TRANSFERTEST_RANGE);
    BOOL bOk = SendCommand(CMD_TRANSFERTEST);
    pProgress->SetPos(3);
    if (!bOk)
        return FALSE;
    for (int b = 1; b <= 255; ++b) {
        bOk = SendByte(static_cast<BYTE>(b));
        pProgress->SetPos(b + 3);
        if (!bOk)
            break;
    }
    return bOk;
}

BOOL CDeviceLink::Erase(CProgressCtrl* pProgress) {
    BOOL bOk = SendCommand(CMD_ERASE);
    PaceShown(pProgress, ERASE_WAITS); // also when the frame failed
    return bOk;
}

BOOL CDeviceLink::BlankTest(CProgressCtrl* pProgress) {
    pProgress->SetRange(0, BLANKTEST_SIZE - 1);
    pProgress->SetPos(0);
    if (!SendCommand(CMD_VERIFY))
        return FALSE;
    BOOL bOk = TRUE;
    for (int i = 0; i < BLANKTEST_SIZE; ++i) {
        bOk = SendByte(0xFF);
        pProgress->SetPos(i);
        if (!bOk)
            break;
    }
    return bOk;
}

BOOL CDeviceLink::Write(CProgressCtrl* pProgress, CString strImagePath) {
    return SendImage(pProgress, strImagePath, MODE_WRITE);
}

BOOL CDeviceLink::Verify(CProgressCtrl* pProgress, CString strImagePath) {
    return SendImage(pProgress, strImagePath, MODE_VERIFY);
}

BOOL CDeviceLink::SendImage(CProgressCtrl* pProgress, CString strImagePath, int nMode) {
    pProgress->SetPos(0);
    HANDLE hFile = CreateFileA(strImagePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        FatalError("Konnte kein Handle für die Datei bekommen!");
        return FALSE;
    }
    DWORD dwSize = GetFileSize(hFile, nullptr);
    // The bar's upper bound is 16 bits: the size modulo 65536.
    pProgress->SetRange(0, static_cast<short>(LOWORD(dwSize)));

    if (!SendCommand(nMode == MODE_WRITE ? CMD_WRITE : CMD_VERIFY)) {
        CloseHandle(hFile);
        return FALSE;
    }

    BOOL bOk = TRUE;
    for (DWORD i = 0; i < dwSize && bOk; ++i) {
        BYTE b = 0;
        // A byte that cannot be read is never replaced by a made-up one: that
        // would program a corrupt image. The stream stops there.
        if (!ReadImageByte(hFile, b)) {
            FatalError("Fehler beim Lesen der Datei!");
            bOk = FALSE;
            break;
        }
        bOk = SendByte(b);
        pProgress->SetPos(static_cast<int>(i));
    }
    CloseHandle(hFile);
    Pace(IMAGE_WAITS);
    return bOk;
}

BOOL CDeviceLink::WriteLockBits(CProgressCtrl* pProgress) {
    pProgress->SetPos(0);
    MessageBoxA(nullptr,
                "Für das Beschreiben der Lock-Bits \nwird ein Adaptersockel benötigt.\n"
                " Bitte stellen Sie sicher, das dieser sich\nauf dem Programmiergerät befindet.",
                "Achtung", MB_OK | MB_ICONINFORMATION);
    BOOL bOk = SendCommand(CMD_LOCKBITS);
    PaceShown(pProgress, LOCKBITS_WAITS); // also when the frame failed
    return bOk;
}
