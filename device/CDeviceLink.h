// The link to the programming device for the length of one run: it opens the port
// and sets its line to 1200 baud, 8 data bits, no parity, one stop bit, carries the
// two write operations every job rests on (a three-byte command frame, one data
// byte), the fatal error report, and the six device jobs. The link is one-way:
// nothing is ever read from the device.
#pragma once

#include "kernel/Kernel.h"

class CProgressCtrl;

// Byte 2 of a command frame 0xEB 0x98 code.
constexpr BYTE CMD_TRANSFERTEST = 0x80;
constexpr BYTE CMD_ERASE = 0x12;
constexpr BYTE CMD_VERIFY = 0x08;
constexpr BYTE CMD_WRITE = 0x04;
constexpr BYTE CMD_LOCKBITS = 0xE0;

// Send modes of SendImage; any value other than MODE_WRITE verifies.
constexpr int MODE_WRITE = 10;
constexpr int MODE_VERIFY = 20;

class CDeviceLink {
public:
    // Opens strPort ("COM1" ... "COM4") exclusively and applies the line settings;
    // every failure is reported here, m_bOpen tells whether the link is ready.
    CDeviceLink(CString strPort);
    // Closes the port if it was opened.
    ~CDeviceLink();

    CDeviceLink(const CDeviceLink&) = delete;
    CDeviceLink& operator=(const CDeviceLink&) = delete;

    // One write of 0xEB 0x98 code; 1 when the system took the three bytes.
    BOOL SendCommand(BYTE code);
    // One write of the byte b alone; 1 when the system took it.
    BOOL SendByte(BYTE b);
    // The report of every failure: the message, a line break and the system's text
    // for the last error, in a box with no owner, caption "Schwerer Fehler".
    void FatalError(CString strMessage);

    BOOL TransferTest(CProgressCtrl* pProgress);
    BOOL Erase(CProgressCtrl* pProgress);
    BOOL BlankTest(CProgressCtrl* pProgress);
    BOOL Write(CProgressCtrl* pProgress, CString strImagePath);
    BOOL Verify(CProgressCtrl* pProgress, CString strImagePath);
    BOOL SendImage(CProgressCtrl* pProgress, CString strImagePath, int nMode);
    BOOL WriteLockBits(CProgressCtrl* pProgress);

    BOOL m_bOpen;   // TRUE once the port is open and its settings are applied
    HANDLE m_hPort; // the port; INVALID_HANDLE_VALUE when opening failed
};
