// korvanto-sim: a simulated programming device on a pseudo-terminal, or on a real
// serial port.
//
// With --link it makes the device reachable at a path (a symlink to a terminal's
// slave side), keeps the slave open so that the program can open and close it between
// runs without hanging up the line (parked in a socket, so that no process shows a
// descriptor on it: the program refuses a port another process holds), reads
// everything written to it and hands it to the device model with the time it arrived.
// With --port it does the same on a serial device at the far end of a real line (1200
// baud, 8N1, raw, no flow control), and reports the pace the line carried each stream
// at. Every report line goes to stdout (and to --report FILE); docs/SIMULATOR.md
// describes them.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sched.h>
#include <stdlib.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "sim/SimDevice.h"

namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int sig) {
    g_signal = sig;
}

struct Config {
    std::string link;
    std::string port;
    std::string flashOut;
    std::string flashIn;
    std::string expect;
    std::string report;
    std::string readyFile;
    long idleExitMs = -1;
    long exitAfter = -1;
    SimDevice::Options model;
};

const char kUsage[] =
    "usage: korvanto-sim --link PATH | --port DEVICE [options]\n"
    "  --link PATH        make the device reachable at PATH (a symlink, removed on exit)\n"
    "  --port DEVICE      be the device at the far end of a real line on DEVICE\n"
    "                     (1200 baud, 8N1, raw, no flow control)\n"
    "  --flash-in FILE    start with this flash content instead of an erased flash\n"
    "  --flash-out FILE   write the 2048-byte flash to FILE on exit\n"
    "  --expect FILE      on exit compare the flash with the image FILE\n"
    "  --report FILE      write every report line to FILE as well\n"
    "  --ready-file FILE  write the READY line to FILE once the device is reachable\n"
    "  --idle-exit MS     exit when no byte came for MS milliseconds\n"
    "  --exit-after N     exit once N commands have been decoded\n"
    "  --stream-gap MS    a pause of MS followed by a frame ends a data stream (default 15)\n"
    "  --stream-settle MS a data stream followed by nothing for MS has ended (default 200)\n"
    "  --tolerance MS     slack allowed on every measured pause (default 5)\n";

bool ParseNumber(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || v < 0)
        return false;
    out = v;
    return true;
}

bool ParseArgs(int argc, char** argv, Config& cfg) {
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "korvanto-sim: %s needs a value\n", opt.c_str());
            return false;
        }
        const char* value = argv[++i];
        double number = 0;
        bool isNumber = ParseNumber(value, number);
        if (opt == "--link")
            cfg.link = value;
        else if (opt == "--port")
            cfg.port = value;
        else if (opt == "--flash-in")
            cfg.flashIn = value;
        else if (opt == "--flash-out")
            cfg.flashOut = value;
        else if (opt == "--expect")
            cfg.expect = value;
        else if (opt == "--report")
            cfg.report = value;
        else if (opt == "--ready-file")
            cfg.readyFile = value;
        else if (opt == "--idle-exit" && isNumber)
            cfg.idleExitMs = static_cast<long>(number);
        else if (opt == "--exit-after" && isNumber)
            cfg.exitAfter = static_cast<long>(number);
        else if (opt == "--stream-gap" && isNumber)
            cfg.model.streamGapMs = number;
        else if (opt == "--stream-settle" && isNumber)
            cfg.model.streamSettleMs = number;
        else if (opt == "--tolerance" && isNumber)
            cfg.model.toleranceMs = number;
        else {
            std::fprintf(stderr, "korvanto-sim: bad option %s %s\n", opt.c_str(), value);
            return false;
        }
    }
    if (cfg.link.empty() == cfg.port.empty()) {
        std::fputs("korvanto-sim: one of --link PATH and --port DEVICE is required\n", stderr);
        return false;
    }
    return true;
}

double NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

class Reporter {
public:
    explicit Reporter(const std::string& path) {
        if (!path.empty())
            m_file = std::fopen(path.c_str(), "w");
    }
    ~Reporter() {
        if (m_file)
            std::fclose(m_file);
    }
    bool Ok() const { return m_file != nullptr; }
    void Line(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (m_file) {
            std::fprintf(m_file, "%s\n", line.c_str());
            std::fflush(m_file);
        }
    }

private:
    std::FILE* m_file = nullptr;
};

// Reads a whole small file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF)
        out.push_back(static_cast<unsigned char>(c));
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The line settings the program put on the terminal, as "baud=... bits=... ...".
std::string LineSettings(int fd, bool& isWanted) {
    termios t;
    if (tcgetattr(fd, &t) != 0) {
        isWanted = false;
        return std::string("error=") + std::strerror(errno);
    }
    speed_t speed = cfgetospeed(&t);
    static const struct {
        speed_t code;
        long baud;
    } kSpeeds[] = {{B0, 0},         {B50, 50},        {B75, 75},       {B110, 110},
                   {B134, 134},     {B150, 150},      {B200, 200},     {B300, 300},
                   {B600, 600},     {B1200, 1200},    {B1800, 1800},   {B2400, 2400},
                   {B4800, 4800},   {B9600, 9600},    {B19200, 19200}, {B38400, 38400},
                   {B57600, 57600}, {B115200, 115200}};
    long baud = -1;
    for (const auto& s : kSpeeds)
        if (s.code == speed)
            baud = s.baud;
    int bits = 5 + ((t.c_cflag & CSIZE) == CS6) + 2 * ((t.c_cflag & CSIZE) == CS7) +
               3 * ((t.c_cflag & CSIZE) == CS8);
    const char* parity = !(t.c_cflag & PARENB) ? "none" : (t.c_cflag & PARODD) ? "odd" : "even";
    int stop = (t.c_cflag & CSTOPB) ? 2 : 1;
    isWanted = baud == 1200 && bits == 8 && parity[0] == 'n' && stop == 1;
    return "baud=" + std::to_string(baud) + " bits=" + std::to_string(bits) + " parity=" + parity +
           " stop=" + std::to_string(stop);
}

void MakeRaw(int fd) {
    termios t;
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    t.c_iflag &= ~(IXOFF | IXANY | IXON);
    t.c_cflag &= ~CRTSCTS;
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
}

std::string HexByte(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02x", v & 0xFFu);
    return buf;
}

class Session {
public:
    Session(const Config& cfg, Reporter& rep)
        : m_cfg(cfg), m_rep(rep),
          m_device(cfg.model, [&rep](const std::string& line) { rep.Line(line); }) {}

    ~Session() {
        RemoveLink();
        for (int fd : m_parking)
            if (fd >= 0)
                close(fd);
        if (m_master >= 0)
            close(m_master);
    }

    bool Open();
    bool OpenPort();
    bool LoadFlash();
    const char* Run();
    int Finish(const char* reason);

private:
    enum class Read { Some, None, Lost };
    Read ReadAvailable(double nowMs);
    void DrainAfterSignal();
    void CheckLine();
    void ReleaseExclusive();
    void RemoveLink();
    bool Park(int fd);
    int Unpark();

    const Config& m_cfg;
    Reporter& m_rep;
    SimDevice m_device;
    int m_master = -1;
    int m_parking[2] = {-1, -1}; // the slave's descriptor travels between the two
    bool m_bPty = false;         // --link: the simulator shares a terminal with the program
    std::string m_slaveName;
    bool m_bLinked = false;
    std::string m_lastLine;
    long m_nLineFaults = 0;
};

bool Session::Open() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        std::fprintf(stderr, "korvanto-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return false;
    }
    const char* name = ptsname(m_master);
    if (!name) {
        std::fprintf(stderr, "korvanto-sim: no slave name: %s\n", std::strerror(errno));
        return false;
    }
    m_slaveName = name;
    // Holding the slave open keeps the line up while the program closes and reopens it.
    int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        std::fprintf(stderr, "korvanto-sim: cannot open %s: %s\n", name, std::strerror(errno));
        return false;
    }
    MakeRaw(slave);
    if (socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, m_parking) != 0 || !Park(slave)) {
        std::fprintf(stderr, "korvanto-sim: cannot park %s: %s\n", name, std::strerror(errno));
        close(slave);
        return false;
    }
    m_bPty = true;
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    struct stat st;
    if (lstat(m_cfg.link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "korvanto-sim: %s exists and is no symlink\n", m_cfg.link.c_str());
            return false;
        }
        unlink(m_cfg.link.c_str()); // left behind by an earlier run
    }
    if (symlink(name, m_cfg.link.c_str()) != 0) {
        std::fprintf(stderr, "korvanto-sim: cannot create %s: %s\n", m_cfg.link.c_str(),
                     std::strerror(errno));
        return false;
    }
    m_bLinked = true;
    return true;
}

// The far end of a real line: the device's settings, raw, no flow control, and the
// adapter asked to hand on every byte at once (an FTDI adapter otherwise holds
// received bytes for up to 16 ms, which would blur every time measured here).
bool Session::OpenPort() {
    const char* path = m_cfg.port.c_str();
    m_master = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) {
        std::fprintf(stderr, "korvanto-sim: cannot open %s: %s\n", path, std::strerror(errno));
        return false;
    }
    if (flock(m_master, LOCK_EX | LOCK_NB) != 0) {
        std::fprintf(stderr, "korvanto-sim: %s is in use\n", path);
        return false;
    }
    termios t;
    if (tcgetattr(m_master, &t) != 0) {
        std::fprintf(stderr, "korvanto-sim: %s is no serial port: %s\n", path,
                     std::strerror(errno));
        return false;
    }
    cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    t.c_cflag &= ~(CRTSCTS | CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B1200);
    cfsetospeed(&t, B1200);
    if (tcsetattr(m_master, TCSANOW, &t) != 0) {
        std::fprintf(stderr, "korvanto-sim: cannot set up %s: %s\n", path, std::strerror(errno));
        return false;
    }
    serial_struct serial{};
    if (ioctl(m_master, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(m_master, TIOCSSERIAL, &serial);
    }
    tcflush(m_master, TCIFLUSH); // what came before the simulator was there is no command
    return true;
}

bool Session::LoadFlash() {
    if (m_cfg.flashIn.empty())
        return true;
    std::vector<unsigned char> image;
    if (!ReadFileBytes(m_cfg.flashIn, image)) {
        std::fprintf(stderr, "korvanto-sim: cannot read %s\n", m_cfg.flashIn.c_str());
        return false;
    }
    // Programming an erased flash with the image gives exactly that content.
    std::vector<std::uint8_t> stream = {0xEB, 0x98, 0x04};
    stream.insert(stream.end(), image.begin(), image.end());
    SimDevice loader({}, [](const std::string&) {});
    loader.Feed(stream.data(), stream.size(), 0.0);
    loader.Finish(0.0);
    m_device.Preload(loader.Flash());
    return true;
}

void Session::RemoveLink() {
    if (!m_bLinked)
        return;
    m_bLinked = false;
    char target[4096];
    ssize_t n = readlink(m_cfg.link.c_str(), target, sizeof target - 1);
    if (n >= 0) {
        target[n] = '\0';
        if (m_slaveName == target)
            unlink(m_cfg.link.c_str());
    }
}

// A descriptor sent over a socket and not yet received stays open, in no process's
// table. Park closes the process's own copy.
bool Session::Park(int fd) {
    char data = 0;
    iovec iov{&data, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    cmsg->cmsg_level = SOL_SOCKET;
    cmsg->cmsg_type = SCM_RIGHTS;
    cmsg->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(cmsg), &fd, sizeof(int));
    const bool ok = sendmsg(m_parking[1], &msg, 0) == 1;
    if (ok)
        close(fd);
    return ok;
}

// The parked slave back in the process's table, or -1.
int Session::Unpark() {
    char data = 0;
    iovec iov{&data, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (recvmsg(m_parking[0], &msg, MSG_DONTWAIT | MSG_CMSG_CLOEXEC) != 1)
        return -1;
    cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    if (cmsg == nullptr || cmsg->cmsg_type != SCM_RIGHTS)
        return -1;
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(cmsg), sizeof(int));
    return fd;
}

void Session::CheckLine() {
    bool wanted = false;
    // The master side reports the slave's settings.
    std::string line = LineSettings(m_master, wanted);
    if (line == m_lastLine)
        return;
    m_lastLine = line;
    if (!wanted)
        ++m_nLineFaults;
    m_rep.Line("LINE " + line + " result=" + (wanted ? "ok" : "wrong"));
}

// The program marks the port exclusive (TIOCEXCL). A real port forgets that when
// the program closes it; this terminal stays open in the simulator, so the mark
// would stay and the next run of an ordinary user would find the port busy. Once
// nobody holds the program's lock on the port any more, the mark is cleared. Root
// passes the mark anyway, so for root nothing is done (and no lock is ever taken).
// The slave is out of its parking for a few microseconds only: a program that opens
// the port just then finds it held by another process and refuses it.
void Session::ReleaseExclusive() {
    if (geteuid() == 0 || !m_bPty)
        return;
    const int slave = Unpark();
    if (slave < 0)
        return;
    if (flock(slave, LOCK_EX | LOCK_NB) == 0) {
        ioctl(slave, TIOCNXCL);
        flock(slave, LOCK_UN);
    }
    if (!Park(slave))
        close(slave); // the line may hang up between runs now; the next open brings it back
}

// Reads what the terminal holds: Some, None once nothing more is there, Lost when
// the port has gone (an adapter unplugged).
Session::Read Session::ReadAvailable(double nowMs) {
    std::uint8_t buf[4096];
    ssize_t n = read(m_master, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return Read::None;
    if (n <= 0)
        return m_bPty ? Read::None : Read::Lost;
    if (m_bPty)
        CheckLine(); // the program's settings, on the terminal the simulator shares with it
    m_device.Feed(buf, static_cast<std::size_t>(n), nowMs);
    return Read::Some;
}

// Whatever the program wrote before the signal still reaches the device. The
// terminal hands written bytes on with a short delay, so the line counts as empty
// only once nothing came for a while.
void Session::DrainAfterSignal() {
    const int kQuietMs = 30;
    pollfd pfd{m_master, POLLIN, 0};
    while (poll(&pfd, 1, kQuietMs) > 0 && ReadAvailable(NowMs()) == Read::Some) {
    }
}

const char* Session::Run() {
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);

    const double kReleaseEveryMs = 100;
    double lastActivity = NowMs();
    for (;;) {
        double now = NowMs();
        ReleaseExclusive();
        double wakeAt = m_device.NextDeadline();
        if (geteuid() != 0 && m_bPty && (wakeAt < 0 || wakeAt > now + kReleaseEveryMs))
            wakeAt = now + kReleaseEveryMs;
        if (m_cfg.idleExitMs >= 0) {
            double idleAt = lastActivity + m_cfg.idleExitMs;
            if (wakeAt < 0 || idleAt < wakeAt)
                wakeAt = idleAt;
        }
        timespec timeout{};
        timespec* pTimeout = nullptr;
        if (wakeAt >= 0) {
            double ms = wakeAt > now ? wakeAt - now : 0;
            timeout.tv_sec = static_cast<time_t>(ms / 1000);
            timeout.tv_nsec = static_cast<long>((ms - timeout.tv_sec * 1000.0) * 1e6);
            pTimeout = &timeout;
        }
        pollfd pfd{m_master, POLLIN, 0};
        int rc = g_signal != 0 ? 0 : ppoll(&pfd, 1, pTimeout, &waitMask);
        now = NowMs();
        if (rc > 0 && (pfd.revents & (POLLIN | POLLHUP | POLLERR))) {
            const Read got = ReadAvailable(now);
            if (got == Read::Some)
                lastActivity = now;
            else if (got == Read::Lost)
                return "hangup";
        }
        if (g_signal != 0) {
            DrainAfterSignal();
            return "signal";
        }
        m_device.Tick(now);
        if (m_cfg.exitAfter >= 0 && m_device.Commands() >= m_cfg.exitAfter)
            return "count";
        if (m_cfg.idleExitMs >= 0 && now - lastActivity >= m_cfg.idleExitMs)
            return "idle";
    }
}

int Session::Finish(const char* reason) {
    m_device.Finish(NowMs());
    int status = 0;
    const auto& flash = m_device.Flash();
    m_rep.Line("SUMMARY commands=" + std::to_string(m_device.Commands()) +
               " stray=" + std::to_string(m_device.StrayBytes()) +
               " dropped=" + std::to_string(m_device.DroppedBytes()) +
               " shortfalls=" + std::to_string(m_device.Shortfalls()) + " line-faults=" +
               std::to_string(m_nLineFaults) + " locked=" + (m_device.Locked() ? "yes" : "no") +
               " blank=" + (m_device.Blank() ? "yes" : "no") +
               " gaps=" + std::to_string(m_device.Gaps()));
    if (!m_cfg.expect.empty()) {
        std::vector<unsigned char> image;
        if (!ReadFileBytes(m_cfg.expect, image)) {
            m_rep.Line("EXPECT unreadable file=" + m_cfg.expect);
            status = 1;
        } else {
            // An image shorter than the flash leaves the rest erased.
            int diff = -1;
            for (int i = 0; i < SimDevice::kFlashSize && diff < 0; ++i) {
                unsigned want = i < static_cast<int>(image.size()) ? image[i] : 0xFF;
                if (flash[i] != want)
                    diff = i;
            }
            if (diff < 0) {
                m_rep.Line("EXPECT flash matches file=" + m_cfg.expect);
            } else {
                char addr[16];
                std::snprintf(addr, sizeof addr, "0x%04x", diff);
                unsigned want = diff < static_cast<int>(image.size()) ? image[diff] : 0xFF;
                m_rep.Line(std::string("EXPECT flash differs addr=") + addr +
                           " flash=" + HexByte(flash[diff]) + " expect=" + HexByte(want) +
                           " file=" + m_cfg.expect);
                status = 1;
            }
        }
    }
    if (!m_cfg.flashOut.empty()) {
        std::FILE* f = std::fopen(m_cfg.flashOut.c_str(), "wb");
        bool ok = f && std::fwrite(flash.data(), 1, flash.size(), f) == flash.size();
        if (f && std::fclose(f) != 0)
            ok = false;
        m_rep.Line(std::string("FLASH ") + (ok ? "saved" : "unsaved") + " file=" + m_cfg.flashOut);
        if (!ok)
            status = 1;
    }
    m_rep.Line(std::string("EXIT reason=") + reason + " status=" + std::to_string(status));
    return status;
}

// The simulator stamps each byte with the time it reads it, so a simulator that
// a busy machine schedules late sees a pause in the stream that was never on the
// line. Where allowed (root), it runs ahead of ordinary processes; it sleeps in
// poll nearly all the time. Elsewhere it keeps its ordinary priority.
void RunAhead() {
    sched_param sp{};
    sp.sched_priority = 10;
    sched_setscheduler(0, SCHED_FIFO, &sp);
}

} // namespace

int main(int argc, char** argv) {
    Config cfg;
    if (!ParseArgs(argc, argv, cfg)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Reporter rep(cfg.report);
    if (!cfg.report.empty() && !rep.Ok()) {
        std::fprintf(stderr, "korvanto-sim: cannot write %s\n", cfg.report.c_str());
        return 2;
    }

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    cfg.model.reportPace = true;
    Session session(cfg, rep);
    if (!session.LoadFlash() || !(cfg.port.empty() ? session.Open() : session.OpenPort()))
        return 2;

    std::string ready = cfg.port.empty() ? "READY link=" + cfg.link : "READY port=" + cfg.port;
    if (!cfg.readyFile.empty()) {
        // Written aside and renamed, so a reader never sees half a line.
        std::string tmp = cfg.readyFile + ".tmp";
        std::FILE* f = std::fopen(tmp.c_str(), "w");
        if (f) {
            std::fprintf(f, "%s\n", ready.c_str());
            std::fclose(f);
            std::rename(tmp.c_str(), cfg.readyFile.c_str());
        }
    }
    rep.Line(ready);

    RunAhead();
    const char* reason = session.Run();
    return session.Finish(reason);
}
