// Settings records: termios to DCB, applying only what a record changed.
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <termios.h>

#include "KernelTestSupport.h"
#include "kernel/CommState.h"
#include "kernel/Kernel.h"
#include "kernel/SerialPort.h"

namespace {

bool SameTermios(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

// A raw port at 9600 8N1 with hardware and XON/XOFF flow control.
termios BaseTermios() {
    termios t{};
    KernelMakeRaw(t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag |= CRTSCTS;
    t.c_iflag |= IXON;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    t.c_cc[VEOF] = 0x04;
    return t;
}

struct ReadCase {
    const char* name;
    std::function<void(termios&)> setUp;
    std::function<void(DCB&)> expect; // turns the base record into the expected one
};

DCB BaseRecord() {
    DCB d;
    std::memset(&d, 0, sizeof d);
    d.DCBlength = sizeof(DCB);
    d.BaudRate = 9600;
    d.fBinary = 1;
    d.fOutxCtsFlow = 1;
    d.fRtsControl = RTS_CONTROL_HANDSHAKE;
    d.fDtrControl = DTR_CONTROL_ENABLE;
    d.fTXContinueOnXoff = 1;
    d.fOutX = 1;
    d.ByteSize = 8;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    d.EofChar = 0x04;
    return d;
}

void ExpectSameRecord(const DCB& got, const DCB& want) {
    EXPECT_EQ(got.DCBlength, want.DCBlength);
    EXPECT_EQ(got.BaudRate, want.BaudRate);
    EXPECT_EQ(got.fBinary, want.fBinary);
    EXPECT_EQ(got.fParity, want.fParity);
    EXPECT_EQ(got.fOutxCtsFlow, want.fOutxCtsFlow);
    EXPECT_EQ(got.fOutxDsrFlow, want.fOutxDsrFlow);
    EXPECT_EQ(got.fDtrControl, want.fDtrControl);
    EXPECT_EQ(got.fRtsControl, want.fRtsControl);
    EXPECT_EQ(got.fOutX, want.fOutX);
    EXPECT_EQ(got.fInX, want.fInX);
    EXPECT_EQ(got.ByteSize, want.ByteSize);
    EXPECT_EQ(got.Parity, want.Parity);
    EXPECT_EQ(got.StopBits, want.StopBits);
    EXPECT_EQ(got.XonChar, want.XonChar);
    EXPECT_EQ(got.XoffChar, want.XoffChar);
    EXPECT_EQ(got.EofChar, want.EofChar);
}

class TermiosToRecord : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TermiosToRecord, FillsEveryField) {
    termios t = BaseTermios();
    GetParam().setUp(t);
    DCB got;
    std::memset(&got, 0xA5, sizeof got);
    KernelTermiosToDcb(t, got);
    DCB want = BaseRecord();
    GetParam().expect(want);
    ExpectSameRecord(got, want);
}

void Size(termios& t, tcflag_t cs) {
    t.c_cflag = (t.c_cflag & ~CSIZE) | cs;
}
void Speed(termios& t, speed_t s) {
    cfsetispeed(&t, s);
    cfsetospeed(&t, s);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TermiosToRecord,
    ::testing::Values(
        ReadCase{"base", [](termios&) {}, [](DCB&) {}},
        ReadCase{"no_flow_control",
                 [](termios& t) {
                     t.c_cflag &= ~CRTSCTS;
                     t.c_iflag &= ~IXON;
                 },
                 [](DCB& d) {
                     d.fOutxCtsFlow = 0;
                     d.fRtsControl = RTS_CONTROL_ENABLE;
                     d.fOutX = 0;
                 }},
        ReadCase{"xoff_input", [](termios& t) { t.c_iflag |= IXOFF; }, [](DCB& d) { d.fInX = 1; }},
        ReadCase{"1200_7E1",
                 [](termios& t) {
                     Speed(t, B1200);
                     Size(t, CS7);
                     t.c_cflag |= PARENB;
                 },
                 [](DCB& d) {
                     d.BaudRate = 1200;
                     d.ByteSize = 7;
                     d.Parity = EVENPARITY;
                 }},
        ReadCase{"19200_6O2",
                 [](termios& t) {
                     Speed(t, B19200);
                     Size(t, CS6);
                     t.c_cflag |= PARENB | PARODD | CSTOPB;
                 },
                 [](DCB& d) {
                     d.BaudRate = 19200;
                     d.ByteSize = 6;
                     d.Parity = ODDPARITY;
                     d.StopBits = TWOSTOPBITS;
                 }},
        ReadCase{"5_mark",
                 [](termios& t) {
                     Size(t, CS5);
                     t.c_cflag |= PARENB | PARODD | CMSPAR;
                 },
                 [](DCB& d) {
                     d.ByteSize = 5;
                     d.Parity = MARKPARITY;
                 }},
        ReadCase{"space", [](termios& t) { t.c_cflag |= PARENB | CMSPAR; },
                 [](DCB& d) { d.Parity = SPACEPARITY; }},
        ReadCase{"parity_check", [](termios& t) { t.c_iflag |= INPCK; },
                 [](DCB& d) { d.fParity = 1; }},
        ReadCase{"115200", [](termios& t) { Speed(t, B115200); },
                 [](DCB& d) { d.BaudRate = 115200; }},
        ReadCase{"hung_up_speed", [](termios& t) { Speed(t, B0); }, [](DCB& d) { d.BaudRate = 0; }},
        ReadCase{"own_xon_xoff_eof",
                 [](termios& t) {
                     t.c_cc[VSTART] = 0x01;
                     t.c_cc[VSTOP] = 0x02;
                     t.c_cc[VEOF] = 0x1A;
                 },
                 [](DCB& d) {
                     d.XonChar = 0x01;
                     d.XoffChar = 0x02;
                     d.EofChar = 0x1A;
                 }}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct ApplyCase {
    const char* name;
    std::function<void(DCB&)> change;
    std::function<void(termios&)> expect; // turns the base termios into the expected one
};

class RecordToTermios : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(RecordToTermios, AppliesOnlyWhatChanged) {
    termios t = BaseTermios();
    DCB current;
    KernelTermiosToDcb(t, current);
    DCB wanted = current;
    GetParam().change(wanted);
    ASSERT_EQ(KernelApplyDcb(current, wanted, t), 0);
    termios want = BaseTermios();
    GetParam().expect(want);
    EXPECT_TRUE(SameTermios(t, want));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordToTermios,
    ::testing::Values(
        ApplyCase{"nothing", [](DCB&) {}, [](termios&) {}},
        ApplyCase{"fields_without_termios",
                  [](DCB& d) {
                      d.fDtrControl = DTR_CONTROL_HANDSHAKE;
                      d.fOutxDsrFlow = 1;
                      d.fDsrSensitivity = 1;
                      d.fTXContinueOnXoff = 0;
                      d.fErrorChar = 1;
                      d.fNull = 1;
                      d.fAbortOnError = 1;
                      d.XonLim = 100;
                      d.XoffLim = 200;
                      d.ErrorChar = '?';
                      d.EvtChar = 'e';
                      d.fBinary = 0;
                  },
                  [](termios&) {}},
        ApplyCase{"line_1200_8N1",
                  [](DCB& d) {
                      d.BaudRate = CBR_1200;
                      d.ByteSize = 8;
                      d.Parity = NOPARITY;
                      d.StopBits = ONESTOPBIT;
                  },
                  [](termios& t) { Speed(t, B1200); }},
        ApplyCase{"byte_size_7", [](DCB& d) { d.ByteSize = 7; }, [](termios& t) { Size(t, CS7); }},
        ApplyCase{"even", [](DCB& d) { d.Parity = EVENPARITY; },
                  [](termios& t) { t.c_cflag |= PARENB; }},
        ApplyCase{"odd", [](DCB& d) { d.Parity = ODDPARITY; },
                  [](termios& t) { t.c_cflag |= PARENB | PARODD; }},
        ApplyCase{"mark", [](DCB& d) { d.Parity = MARKPARITY; },
                  [](termios& t) { t.c_cflag |= PARENB | PARODD | CMSPAR; }},
        ApplyCase{"space", [](DCB& d) { d.Parity = SPACEPARITY; },
                  [](termios& t) { t.c_cflag |= PARENB | CMSPAR; }},
        ApplyCase{"two_stop_bits", [](DCB& d) { d.StopBits = TWOSTOPBITS; },
                  [](termios& t) { t.c_cflag |= CSTOPB; }},
        ApplyCase{"parity_check", [](DCB& d) { d.fParity = 1; },
                  [](termios& t) { t.c_iflag |= INPCK; }},
        ApplyCase{"no_cts", [](DCB& d) { d.fOutxCtsFlow = 0; },
                  [](termios& t) { t.c_cflag &= ~CRTSCTS; }},
        ApplyCase{"rts_enable_only", [](DCB& d) { d.fRtsControl = RTS_CONTROL_ENABLE; },
                  [](termios& t) { t.c_cflag &= ~CRTSCTS; }},
        ApplyCase{"no_xon", [](DCB& d) { d.fOutX = 0; }, [](termios& t) { t.c_iflag &= ~IXON; }},
        ApplyCase{"xoff", [](DCB& d) { d.fInX = 1; }, [](termios& t) { t.c_iflag |= IXOFF; }},
        ApplyCase{"characters",
                  [](DCB& d) {
                      d.XonChar = 0x05;
                      d.XoffChar = 0x06;
                      d.EofChar = 0x07;
                  },
                  [](termios& t) {
                      t.c_cc[VSTART] = 0x05;
                      t.c_cc[VSTOP] = 0x06;
                      t.c_cc[VEOF] = 0x07;
                  }}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

class RecordNotRepresentable : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(RecordNotRepresentable, RefusedAndNothingApplied) {
    termios t = BaseTermios();
    DCB current;
    KernelTermiosToDcb(t, current);
    DCB wanted = current;
    wanted.BaudRate = CBR_1200; // a valid change alongside is not applied either
    GetParam().change(wanted);
    EXPECT_EQ(KernelApplyDcb(current, wanted, t), EINVAL);
    EXPECT_TRUE(SameTermios(t, BaseTermios()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordNotRepresentable,
    ::testing::Values(
        ApplyCase{"baud_1234", [](DCB& d) { d.BaudRate = 1234; }, {}},
        ApplyCase{"baud_0", [](DCB& d) { d.BaudRate = 0; }, {}},
        ApplyCase{"size_4", [](DCB& d) { d.ByteSize = 4; }, {}},
        ApplyCase{"size_9", [](DCB& d) { d.ByteSize = 9; }, {}},
        ApplyCase{"parity_5", [](DCB& d) { d.Parity = 5; }, {}},
        ApplyCase{"one_and_a_half_stop_bits", [](DCB& d) { d.StopBits = ONE5STOPBITS; }, {}},
        ApplyCase{"stop_bits_3", [](DCB& d) { d.StopBits = 3; }, {}}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST(RecordToTermiosRaw, RawModeIsKeptOnEveryChange) {
    termios t = BaseTermios();
    t.c_lflag |= ICANON | ECHO | ISIG;
    t.c_oflag |= OPOST | ONLCR;
    t.c_iflag |= ICRNL;
    DCB current;
    KernelTermiosToDcb(t, current);
    DCB wanted = current;
    wanted.BaudRate = CBR_1200;
    ASSERT_EQ(KernelApplyDcb(current, wanted, t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & ICRNL, 0u);
    EXPECT_EQ(t.c_iflag & IXON, static_cast<tcflag_t>(IXON)); // flow control as it was
}

// On a real pseudo-terminal, as the serial link uses it.
class CommStateOnPty : public ::testing::Test {
protected:
    ktest::PtyPair m_pty;
    std::unique_ptr<ktest::ScopedEnv> m_env;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;

    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_env = std::make_unique<ktest::ScopedEnv>("KORVANTO_COM2", m_pty.path().c_str());
        m_hPort = CreateFileA("COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
        ASSERT_NE(m_hPort, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (m_hPort != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPort);
    }
    termios Settings() {
        termios t{};
        tcgetattr(m_pty.slave(), &t);
        return t;
    }
};

TEST_F(CommStateOnPty, RoundTripOfTheFourLineSettingsKeepsFlowControl) {
    termios t = Settings(); // someone set flow control on the open port
    t.c_cflag |= CRTSCTS | CSTOPB;
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 0x01;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    ASSERT_EQ(tcsetattr(m_pty.slave(), TCSANOW, &t), 0);

    DCB dcb;
    ASSERT_TRUE(GetCommState(m_hPort, &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_HANDSHAKE);
    EXPECT_EQ(dcb.fOutX, 1u);
    EXPECT_EQ(dcb.fInX, 1u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.XonChar, 0x01);
    dcb.BaudRate = CBR_1200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    ASSERT_TRUE(SetCommState(m_hPort, &dcb));

    const termios after = Settings();
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B1200));
    EXPECT_EQ(cfgetispeed(&after), static_cast<speed_t>(B1200));
    EXPECT_EQ(after.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & PARENB, 0u);
    EXPECT_EQ(after.c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));
    EXPECT_EQ(after.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(after.c_cc[VSTART], 0x01);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);
}

TEST_F(CommStateOnPty, RecordReadBackIsWhatWasApplied) {
    DCB dcb;
    ASSERT_TRUE(GetCommState(m_hPort, &dcb));
    dcb.BaudRate = 4800;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fOutX = 1;
    ASSERT_TRUE(SetCommState(m_hPort, &dcb));
    DCB again;
    ASSERT_TRUE(GetCommState(m_hPort, &again));
    ExpectSameRecord(again, dcb);
}

TEST_F(CommStateOnPty, RecordThatCannotBeAppliedFailsAndChangesNothing) {
    const termios before = Settings();
    DCB dcb;
    ASSERT_TRUE(GetCommState(m_hPort, &dcb));
    dcb.BaudRate = 1234;
    dcb.StopBits = TWOSTOPBITS;
    EXPECT_FALSE(SetCommState(m_hPort, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
    EXPECT_TRUE(SameTermios(Settings(), before));
}

TEST_F(CommStateOnPty, NoRecordFails) {
    EXPECT_FALSE(GetCommState(m_hPort, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
    EXPECT_FALSE(SetCommState(m_hPort, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
}

TEST(CommStateOnFile, ImageFileHasNoSettings) {
    ktest::TempDir dir;
    const std::string path = dir.File("f.bin", "x");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    EXPECT_FALSE(GetCommState(h, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOTTY));
    EXPECT_TRUE(CloseHandle(h));
}

} // namespace
