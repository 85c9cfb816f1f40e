// GetCommState / SetCommState on a port's termios.
//
// SetCommState re-reads the port, maps it to a record and applies only the
// fields in which the caller's record differs: whatever the caller left as it
// was read (flow control, XON/XOFF characters, ...) is written back as the port
// holds it. Raw mode is kept on every change.
#include "kernel/CommApi.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <termios.h>

#include "kernel/CommState.h"
#include "kernel/KernelError.h"
#include "kernel/KernelFaults.h"
#include "kernel/KernelFile.h"
#include "kernel/SerialPort.h"

namespace {

struct SpeedEntry {
    speed_t code;
    DWORD baud;
};

constexpr SpeedEntry kSpeeds[] = {
    {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},
    {B150, 150},         {B200, 200},         {B300, 300},         {B600, 600},
    {B1200, 1200},       {B1800, 1800},       {B2400, 2400},       {B4800, 4800},
    {B9600, 9600},       {B19200, 19200},     {B38400, 38400},     {B57600, 57600},
    {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
    {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000},
    {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
    {B3500000, 3500000}, {B4000000, 4000000},
};

DWORD BaudOf(speed_t code) {
    for (const SpeedEntry& e : kSpeeds)
        if (e.code == code)
            return e.baud;
    return 0; // B0 (hang up) or a speed with no number
}

bool SpeedOf(DWORD baud, speed_t& code) {
    for (const SpeedEntry& e : kSpeeds)
        if (e.baud == baud) {
            code = e.code;
            return true;
        }
    return false;
}

BYTE ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

bool SizeFlag(BYTE size, tcflag_t& flag) {
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (size < 5 || size > 8)
        return false;
    flag = kSizes[size - 5];
    return true;
}

BYTE ParityOf(tcflag_t cflag) {
    if (!(cflag & PARENB))
        return NOPARITY;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    return (cflag & PARODD) ? ODDPARITY : EVENPARITY;
}

bool ParityFlags(BYTE parity, tcflag_t& flags) {
    static constexpr tcflag_t kParity[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                           PARENB | CMSPAR};
    if (parity > SPACEPARITY)
        return false;
    flags = kParity[parity];
    return true;
}

// A change that termios cannot hold is refused before anything is applied.
bool Representable(const DCB& current, const DCB& wanted) {
    speed_t speed;
    tcflag_t flags;
    if (wanted.BaudRate != current.BaudRate && !SpeedOf(wanted.BaudRate, speed))
        return false;
    if (wanted.ByteSize != current.ByteSize && !SizeFlag(wanted.ByteSize, flags))
        return false;
    if (wanted.Parity != current.Parity && !ParityFlags(wanted.Parity, flags))
        return false;
    return wanted.StopBits == current.StopBits || wanted.StopBits == ONESTOPBIT ||
           wanted.StopBits == TWOSTOPBITS;
}

void SetFlag(tcflag_t& field, tcflag_t flag, bool on) {
    if (on)
        field |= flag;
    else
        field &= ~flag;
}

void ApplyLine(const DCB& current, const DCB& wanted, termios& t) {
    speed_t speed;
    tcflag_t flags;
    if (wanted.BaudRate != current.BaudRate && SpeedOf(wanted.BaudRate, speed)) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    }
    if (wanted.ByteSize != current.ByteSize && SizeFlag(wanted.ByteSize, flags))
        t.c_cflag = (t.c_cflag & ~CSIZE) | flags;
    if (wanted.Parity != current.Parity && ParityFlags(wanted.Parity, flags))
        t.c_cflag = (t.c_cflag & ~(PARENB | PARODD | CMSPAR)) | flags;
    if (wanted.StopBits != current.StopBits)
        SetFlag(t.c_cflag, CSTOPB, wanted.StopBits == TWOSTOPBITS);
    if (wanted.fParity != current.fParity)
        SetFlag(t.c_iflag, INPCK, wanted.fParity);
}

void ApplyFlowControl(const DCB& current, const DCB& wanted, termios& t) {
    // Hardware handshake is one flag in termios: CTS watched and RTS driven together.
    if (wanted.fOutxCtsFlow != current.fOutxCtsFlow)
        SetFlag(t.c_cflag, CRTSCTS, wanted.fOutxCtsFlow);
    else if (wanted.fRtsControl != current.fRtsControl)
        SetFlag(t.c_cflag, CRTSCTS, wanted.fRtsControl == RTS_CONTROL_HANDSHAKE);
    if (wanted.fOutX != current.fOutX)
        SetFlag(t.c_iflag, IXON, wanted.fOutX);
    if (wanted.fInX != current.fInX)
        SetFlag(t.c_iflag, IXOFF, wanted.fInX);
    if (wanted.XonChar != current.XonChar)
        t.c_cc[VSTART] = static_cast<cc_t>(wanted.XonChar);
    if (wanted.XoffChar != current.XoffChar)
        t.c_cc[VSTOP] = static_cast<cc_t>(wanted.XoffChar);
    if (wanted.EofChar != current.EofChar)
        t.c_cc[VEOF] = static_cast<cc_t>(wanted.EofChar);
}

std::shared_ptr<CFileObject> LookupPort(HANDLE h) {
    std::shared_ptr<CFileObject> file = KernelLookup<CFileObject>(h);
    if (!file) {
        KernelFail(EBADF);
        return nullptr;
    }
    if (!file->IsTerminal()) {
        KernelFail(ENOTTY); // a file, or a port path that is no terminal
        return nullptr;
    }
    return file;
}

bool ReadTermios(const CFileObject& port, termios& t) {
    if (::tcgetattr(port.Descriptor(), &t) == 0)
        return true;
    KernelFail(static_cast<DWORD>(errno));
    return false;
}

// The port behind hFile with its current settings in t, for a record to read or apply;
// null (with the last error set) when there is no port, no settings or no record.
std::shared_ptr<CFileObject> PortWithSettings(HANDLE hFile, LPDCB lpDCB, termios& t) {
    std::shared_ptr<CFileObject> port = LookupPort(hFile);
    if (!port || !ReadTermios(*port, t))
        return nullptr;
    if (lpDCB == nullptr) {
        KernelFail(EINVAL);
        return nullptr;
    }
    return port;
}

} // namespace

void KernelTermiosToDcb(const termios& t, DCB& dcb) {
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = BaudOf(::cfgetospeed(&t));
    dcb.fBinary = TRUE; // the port is always raw
    dcb.fParity = (t.c_iflag & INPCK) ? 1 : 0;
    const bool handshake = (t.c_cflag & CRTSCTS) != 0;
    dcb.fOutxCtsFlow = handshake ? 1 : 0;
    dcb.fRtsControl = handshake ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
    dcb.ByteSize = ByteSizeOf(t.c_cflag);
    dcb.Parity = ParityOf(t.c_cflag);
    dcb.StopBits = (t.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    dcb.EofChar = static_cast<char>(t.c_cc[VEOF]);
}

int KernelApplyDcb(const DCB& current, const DCB& wanted, termios& t) {
    if (!Representable(current, wanted))
        return EINVAL;
    ApplyLine(current, wanted, t);
    ApplyFlowControl(current, wanted, t);
    KernelKeepRaw(t);
    return 0;
}

BOOL GetCommState(HANDLE hFile, LPDCB lpDCB) {
    if (KernelFaultFires(KernelFault::GetCommState))
        return FALSE;
    termios t;
    if (!PortWithSettings(hFile, lpDCB, t))
        return FALSE;
    KernelTermiosToDcb(t, *lpDCB);
    return TRUE;
}

BOOL SetCommState(HANDLE hFile, LPDCB lpDCB) {
    if (KernelFaultFires(KernelFault::SetCommState))
        return FALSE;
    termios t;
    std::shared_ptr<CFileObject> port = PortWithSettings(hFile, lpDCB, t);
    if (!port)
        return FALSE;
    DCB current;
    KernelTermiosToDcb(t, current);
    if (int err = KernelApplyDcb(current, *lpDCB, t)) {
        KernelFail(static_cast<DWORD>(err));
        return FALSE;
    }
    if (::tcsetattr(port->Descriptor(), TCSANOW, &t) != 0) {
        KernelFail(static_cast<DWORD>(errno));
        return FALSE;
    }
    return TRUE;
}
