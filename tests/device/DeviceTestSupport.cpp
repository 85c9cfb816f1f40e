#include "tests/device/DeviceTestSupport.h"

#include <chrono>
#include <cstdio>
#include <sstream>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

Bytes Frame(unsigned char code) {
    return {0xEB, 0x98, code};
}
Bytes Fill(std::size_t n, unsigned char v) {
    return Bytes(n, v);
}
Bytes PseudoRandom(std::size_t n, unsigned seed) {
    Bytes b(n);
    unsigned v = seed;
    for (auto& x : b) {
        v = v * 1103515245u + 12345u;
        x = static_cast<unsigned char>(v >> 16);
    }
    return b;
}

Bytes Rising(int from, int to) {
    Bytes b;
    for (int i = from; i <= to; ++i)
        b.push_back(static_cast<unsigned char>(i));
    return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

PtyLine::PtyLine() {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return;
    m_slavePath = name;
    // The far end reads raw bytes; the port side is the program's to set up.
    termios t;
    tcgetattr(m_master, &t);
    cfmakeraw(&t);
    tcsetattr(m_master, TCSANOW, &t);
    if (pipe(m_stop) != 0)
        return;
    m_reader = std::thread([this] { Reader(); });
}

PtyLine::~PtyLine() {
    if (m_reader.joinable()) {
        (void)!write(m_stop[1], "x", 1);
        m_reader.join();
    }
    for (int fd : {m_master, m_slave, m_stop[0], m_stop[1]})
        if (fd >= 0)
            close(fd);
}

void PtyLine::MapTo(int nCom) const {
    setenv(("KORVANTO_COM" + std::to_string(nCom)).c_str(), m_slavePath.c_str(), 1);
}

void PtyLine::Reader() {
    for (;;) {
        pollfd pfd[2] = {{m_master, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (poll(pfd, 2, -1) < 0)
            continue;
        if (pfd[1].revents)
            return;
        if (pfd[0].revents & POLLIN) {
            unsigned char buf[4096];
            ssize_t n = read(m_master, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_bytes.insert(m_bytes.end(), buf, buf + n);
            }
        } else if (pfd[0].revents) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

Bytes PtyLine::Seen() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

Bytes PtyLine::Settle(std::size_t nAtLeast) {
    // The terminal passes written bytes on with a short delay of its own.
    const auto quiet = std::chrono::milliseconds(40);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Seen().size() < nAtLeast && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::size_t last = Seen().size();
    auto since = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::size_t now = Seen().size();
        if (now != last) {
            last = now;
            since = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - since >= quiet) {
            break;
        }
    }
    return Seen();
}

void PtyLine::HangUp(std::size_t nCount) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Seen().size() < nCount && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_reader.joinable()) {
        (void)!write(m_stop[1], "x", 1);
        m_reader.join();
    }
    close(m_master);
    m_master = -1;
}

::testing::AssertionResult LineCarries(PtyLine& line, const Bytes& want) {
    Bytes got = line.Settle(want.size());
    if (got == want)
        return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    auto at = [](const Bytes& b, std::size_t i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, i < b.size() ? "0x%02x" : "end", i < b.size() ? b[i] : 0);
        return std::string(buf);
    };
    return ::testing::AssertionFailure() << "the line carried " << got.size() << " bytes, expected "
                                         << want.size() << "; first difference at byte " << i
                                         << ": " << at(got, i) << " instead of " << at(want, i);
}

void PrintTo(const BarStep& s, std::ostream* os) {
    if (s.kind == 'R')
        *os << "Range(" << s.a << "," << s.b << ")";
    else
        *os << "Pos(" << s.a << ")";
}
BarStep Range(unsigned lo, unsigned hi) {
    return {'R', lo, hi};
}
BarStep Pos(unsigned p) {
    return {'P', p, 0};
}
BarSteps Positions(unsigned from, unsigned to) {
    BarSteps s;
    for (unsigned p = from; p <= to; ++p)
        s.push_back(Pos(p));
    return s;
}
BarSteps operator+(BarSteps a, const BarSteps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

::testing::AssertionResult SameSteps(const BarSteps& got, const BarSteps& want) {
    if (got == want)
        return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    auto at = [](const BarSteps& s, std::size_t i) {
        std::ostringstream os;
        if (i < s.size())
            PrintTo(s[i], &os);
        else
            os << "end";
        return os.str();
    };
    return ::testing::AssertionFailure()
           << got.size() << " steps, expected " << want.size() << "; first difference at step " << i
           << ": " << at(got, i) << " instead of " << at(want, i);
}

BarSpy::BarSpy() : m_hWnd(CreateTestControl("msctls_progress32", 1001, TRUE)) {
    m_bar.Attach(m_hWnd);
    SetMessageSpy([this](const SpiedMessage& msg) {
        if (msg.hWnd != m_hWnd)
            return;
        BarStep step;
        if (msg.message == PBM_SETRANGE)
            step = Range(LOWORD(static_cast<DWORD>(msg.lParam)),
                         HIWORD(static_cast<DWORD>(msg.lParam)));
        else if (msg.message == PBM_SETPOS)
            step = Pos(static_cast<unsigned>(msg.wParam));
        else
            return;
        m_steps.push_back(step);
        if (onStep)
            onStep(step);
    });
}

BarSpy::~BarSpy() {
    SetMessageSpy({});
    m_bar.Detach();
    DestroyTestControl(m_hWnd);
}

std::string SystemText(DWORD dwError) {
    LPSTR buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                             dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPSTR>(&buf), 0, nullptr);
    if (n == 0 || !buf)
        return "";
    std::string text(buf);
    LocalFree(buf);
    return text;
}

BoxLog::BoxLog() {
    SetBoxResponder([this](const BoxCall& call) {
        DWORD dwError = GetLastError();
        Box box{call.hOwner != nullptr,
                static_cast<LPCSTR>(call.text),
                static_cast<LPCSTR>(call.caption),
                call.type,
                dwError,
                SystemText(dwError)};
        SetLastError(dwError);
        m_boxes.push_back(box);
        if (onBox)
            onBox(box);
        return IDOK;
    });
}

BoxLog::~BoxLog() {
    SetBoxResponder({});
}

const char* const kOpenFailed = "Konnte kein Handle für die \nserielle Schnittstelle bekommen!";
const char* const kStateUnread =
    "Konnte den aktuellen Zustand der \nseriellen Schnittstelle nicht erfragen!";
const char* const kStateUnchanged =
    "Konnte den aktuellen Zustand \nder seriellen Schnittstelle nicht verändern!";
const char* const kCloseFailed =
    "Probleme beim schließen des \nHandles der seriellen Schnittstelle!";
const char* const kFrameFailed = "Fehler beim Schreiben\n auf der seriellen Schnittstelle !";
const char* const kByteFailed = "Fehler beim Schreiben \nauf die serielle Schnittstelle !";
const char* const kImageUnopened = "Konnte kein Handle für die Datei bekommen!";
const char* const kImageUnread = "Fehler beim Lesen der Datei!";
const char* const kLockNotice =
    "Für das Beschreiben der Lock-Bits \nwird ein Adaptersockel benötigt.\n Bitte stellen Sie "
    "sicher, das dieser sich\nauf dem Programmiergerät befindet.";

::testing::AssertionResult IsFatalReport(const Box& box, const std::string& message,
                                         DWORD dwError) {
    std::string want = message + "\n" + box.systemText;
    if (box.bOwned || box.caption != "Schwerer Fehler" || box.type != (MB_OK | MB_ICONERROR))
        return ::testing::AssertionFailure()
               << "not a fatal error report: owned=" << box.bOwned << " caption=\"" << box.caption
               << "\" type=" << box.type;
    if (box.dwError != dwError)
        return ::testing::AssertionFailure()
               << "reported error " << box.dwError << ", expected " << dwError;
    if (box.systemText.empty() || box.text != want)
        return ::testing::AssertionFailure()
               << "text \"" << box.text << "\", expected \"" << want << "\"";
    return ::testing::AssertionSuccess();
}
