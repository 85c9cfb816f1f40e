#include "KernelTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ktest {

PtyPair::PtyPair() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_path = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyPair::CloseSlave() {
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
}

void PtyPair::CloseMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void MakeCooked(int fd) {
    termios t;
    ::tcgetattr(fd, &t);
    t.c_iflag = BRKINT | ICRNL | IXON | IXOFF | IXANY | IMAXBEL;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | CLOCAL)) | CS8 | CREAD | HUPCL;
    t.c_lflag = ICANON | ISIG | IEXTEN | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE;
    t.c_cc[VINTR] = 0x03;
    t.c_cc[VEOF] = 0x04;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    ::tcsetattr(fd, TCSANOW, &t);
}

std::vector<unsigned char> ReadFromPeer(int fd, size_t n, int timeoutMs) {
    std::vector<unsigned char> got;
    while (got.size() < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            break;
        unsigned char buf[4096];
        const ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - got.size()));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got.insert(got.end(), buf, buf + r);
    }
    return got;
}

bool PeerHasData(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
}

void WriteToPeer(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return;
        done += static_cast<size_t>(w);
    }
}

std::vector<unsigned char> AllByteValues() {
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
    return all;
}

std::optional<std::string> SystemText(DWORD code) {
    LPSTR p = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                   reinterpret_cast<LPSTR>(&p), 0, nullptr);
    if (n == 0 || p == nullptr)
        return std::nullopt;
    std::string text(p, n);
    LocalFree(p);
    return text;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "korvanto-kernel-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) != nullptr)
        m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::File(const std::string& name, const std::string& content) const {
    const std::string path = (m_path / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

ScopedLocale::ScopedLocale(const char* name) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    m_old = old ? old : "C";
    m_ok = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedLocale::~ScopedLocale() {
    std::setlocale(LC_ALL, m_old.c_str());
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name))
        m_old = old;
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

} // namespace ktest
