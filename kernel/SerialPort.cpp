#include "kernel/SerialPort.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "kernel/PortLock.h"

namespace {

int PortNumber(const char* name) {
    if (name == nullptr)
        return 0;
    const bool com = std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                     std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                     std::toupper(static_cast<unsigned char>(name[2])) == 'M';
    if (!com || name[3] < '1' || name[3] > '4' || name[4] != '\0')
        return 0;
    return name[3] - '0';
}

int SaveErrnoAndClose(int fd) {
    const int err = errno;
    ::close(fd);
    return err;
}

// Modem lines never block I/O, the receiver is on, raw mode holds.
int SetUpTerminal(int fd) {
    termios t;
    if (::tcgetattr(fd, &t) != 0)
        return errno;
    KernelMakeRaw(t);
    if (::tcsetattr(fd, TCSANOW, &t) != 0)
        return errno;
    return 0;
}

int MakeBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return errno;
    return 0;
}

} // namespace

bool KernelPortPath(const char* name, std::string& path) {
    const int n = PortNumber(name);
    if (n == 0)
        return false;
    const std::string var = "KORVANTO_COM" + std::to_string(n);
    const char* value = std::getenv(var.c_str());
    path = value && *value ? value : "/dev/ttyS" + std::to_string(n - 1);
    return true;
}

int KernelOpenPort(const std::string& path, int& fd, bool& bTerminal) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // TIOCEXCL does not stop root; flock does, for every process that asks the same.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = SaveErrnoAndClose(fd);
        return err == EWOULDBLOCK ? EBUSY : err;
    }
    bTerminal = ::isatty(fd) == 1;
    if (bTerminal) {
        // Before anything of the terminal changes: programs that hold it without flock.
        if (int err = KernelClaimPort(fd, path)) {
            ::close(fd);
            return err;
        }
        if (::ioctl(fd, TIOCEXCL) != 0) {
            const int err = errno;
            KernelUnclaimPort(fd);
            ::close(fd);
            return err;
        }
        if (int err = SetUpTerminal(fd)) {
            KernelReleasePort(fd, true);
            ::close(fd);
            return err;
        }
    }
    if (int err = MakeBlocking(fd)) {
        KernelReleasePort(fd, bTerminal);
        ::close(fd);
        return err;
    }
    return 0;
}

void KernelReleasePort(int fd, bool bTerminal) {
    if (bTerminal) {
        ::ioctl(fd, TIOCNXCL); // the flag outlives this descriptor on a tty others hold open
        KernelUnclaimPort(fd);
    }
}

void KernelKeepRaw(termios& t) {
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXANY |
                   IMAXBEL | IUTF8);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ICANON | ISIG |
                   IEXTEN | TOSTOP | XCASE);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

void KernelMakeRaw(termios& t) {
    ::cfmakeraw(&t);
    KernelKeepRaw(t);
    t.c_iflag &= ~(IXON | IXOFF | INPCK);
    t.c_cflag &= ~(CRTSCTS | CSIZE | PARENB | PARODD | CMSPAR);
    t.c_cflag |= CS8;
}
