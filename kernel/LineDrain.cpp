// WriteFile on a serial port returns once its bytes have left the line.
//
// The kernel's own drain (tcdrain) polls the transmitter in sleeps of whole
// jiffies: on an 8250/16550 at 1200 baud one jiffy (4 ms at HZ=250), which the
// sleep rounds up to 4..8 ms; a writer that sends byte after byte returns about
// 16 ms after each byte of 8.33 ms, and the line stands idle for the rest. Here
// the wait is measured instead: the bytes cannot have left before their line time
// has passed since they were queued, so the writer sleeps until then and only then
// looks - at the kernel's output queue (TIOCOUTQ) and, where the driver tells it
// (TIOCSERGETLSR), at the transmitter itself; where it does not (USB adapters), the
// line time since queuing stands for it. Every sleep lasts well under a character
// time once the bytes are due, and a line that stops moving fails the write instead
// of holding the program forever.
#include "kernel/LineDrain.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>

#include "kernel/CommState.h"
#include "kernel/KernelFile.h"
#include "kernel/KernelObject.h"
#include "kernel/KernelTesting.h"

namespace {

using Duration = KernelClock::duration;
using TimePoint = KernelClock::time_point;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// Longest single sleep: a long write is looked at this often, so that a stall
// is seen in time.
constexpr Duration kLongestSleep = milliseconds(100);
// A line whose queue has not moved for this long (or 32 characters, if longer)
// has stopped: flow control that is never released, an adapter that hangs.
constexpr Duration kStallLimit = milliseconds(2000);
constexpr int kStallChars = 32;

// The modelled kernel drain: msleep of one jiffy at HZ=250 (Debian's) waits up
// to the second jiffy boundary from now.
constexpr Duration kJiffy = milliseconds(4);

// What the modelled line holds beyond the byte on the wire before the kernel's
// output queue counts it: a 16550's FIFO, a USB adapter's own buffer.
constexpr std::size_t kUartFifo = 16;
constexpr std::size_t kAdapterBuffer = 256;

enum class Tx { Empty, Busy, Unknown };

std::atomic<KernelLine> g_model{KernelLine::None};
std::atomic<KernelDrain> g_drain{KernelDrain::Fine};

// A pseudo-terminal standing in for a serial line (test seam): the time at
// which everything written to it has left, and what flow control holds back.
struct ModelledLine {
    TimePoint freeAt{};
    Duration charTime{};
    std::size_t nHeld = 0;
};

std::mutex g_modelLock;
std::map<int, ModelledLine> g_lines;

// Unix98 pseudo-terminal slaves (majors 136..143) and the old BSD ones (3).
bool IsPseudoTerminal(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned m = major(st.st_rdev);
    return m == 3 || (m >= 136 && m <= 143);
}

// One character's time at the port's settings: start bit, data bits, parity,
// stop bits at its output speed. Zero when the speed is none or unknown.
Duration CharTime(const termios& t) {
    DCB dcb;
    KernelTermiosToDcb(t, dcb);
    if (dcb.BaudRate == 0)
        return Duration::zero();
    const long bits =
        1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0) + (dcb.StopBits == TWOSTOPBITS ? 2 : 1);
    return std::chrono::duration_cast<Duration>(nanoseconds(bits * 1000000000LL / dcb.BaudRate));
}

std::size_t ModelRemaining(const ModelledLine& line, TimePoint now) {
    if (line.nHeld > 0)
        return line.nHeld;
    if (now >= line.freeAt || line.charTime <= Duration::zero())
        return 0;
    return static_cast<std::size_t>((line.freeAt - now + line.charTime - nanoseconds(1)) /
                                    line.charTime);
}

void ModelQueue(int fd, std::size_t nBytes, TimePoint queuedAt, Duration charTime, bool bHeld) {
    std::lock_guard<std::mutex> guard(g_modelLock);
    ModelledLine& line = g_lines[fd];
    line.charTime = charTime;
    if (bHeld || line.nHeld > 0) {
        line.nHeld += nBytes; // hardware handshake and nobody raising CTS
        return;
    }
    line.freeAt = std::max(line.freeAt, queuedAt) + static_cast<int>(nBytes) * charTime;
}

// The port's line as the drain sees it: the real driver, or the model.
class CLine {
public:
    CLine(int fd, bool bModelled) : m_fd(fd), m_bModelled(bModelled) {}

    // Bytes still in the kernel's output queue.
    int Queued(TimePoint now, std::size_t& nQueued) const {
        if (m_bModelled) {
            const std::size_t n = Remaining(now);
            const std::size_t hold = g_model == KernelLine::Uart ? kUartFifo : kAdapterBuffer;
            nQueued = n > hold ? n - hold : 0;
            return 0;
        }
        int n = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &n) != 0)
            return errno;
        nQueued = n > 0 ? static_cast<std::size_t>(n) : 0;
        return 0;
    }

    // Whether the transmitter has sent its last bit, where the driver tells.
    int Transmitter(TimePoint now, Tx& tx) const {
        if (m_bModelled) {
            tx = g_model != KernelLine::Uart ? Tx::Unknown
                 : Remaining(now) == 0       ? Tx::Empty
                                             : Tx::Busy;
            return 0;
        }
        int lsr = 0;
        if (::ioctl(m_fd, TIOCSERGETLSR, &lsr) == 0) {
            tx = (lsr & TIOCSER_TEMT) ? Tx::Empty : Tx::Busy;
            return 0;
        }
        if (errno == ENOTTY || errno == EINVAL || errno == EOPNOTSUPP) {
            tx = Tx::Unknown; // USB adapters and most other drivers
            return 0;
        }
        return errno;
    }

    // Whether everything has left: what the kernel's own drain asks the driver.
    bool Sent(TimePoint now) const { return Remaining(now) == 0; }

    // Drops what is still queued, so that closing the port does not wait for it.
    void Flush() const {
        if (!m_bModelled) {
            ::tcflush(m_fd, TCOFLUSH);
            return;
        }
        std::lock_guard<std::mutex> guard(g_modelLock);
        ModelledLine& line = g_lines[m_fd];
        line.nHeld = 0;
        line.freeAt = std::min(line.freeAt, KernelClock::now());
    }

private:
    std::size_t Remaining(TimePoint now) const {
        std::lock_guard<std::mutex> guard(g_modelLock);
        auto it = g_lines.find(m_fd);
        return it == g_lines.end() ? 0 : ModelRemaining(it->second, now);
    }

    int m_fd;
    bool m_bModelled;
};

void SleepUntil(TimePoint at) {
    const nanoseconds since = std::chrono::duration_cast<nanoseconds>(at.time_since_epoch());
    timespec ts;
    ts.tv_sec = static_cast<time_t>(since.count() / 1000000000LL);
    ts.tv_nsec = static_cast<long>(since.count() % 1000000000LL);
    // steady_clock is CLOCK_MONOTONIC; a signal only ends a sleep early.
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

// How late this thread's timed sleeps wake, on average (each new sample counts an
// eighth; samples over 1 ms, a preemption, count as 1 ms).
thread_local Duration t_lateness = microseconds(50);
constexpr Duration kMostEarly = microseconds(300);

// Sleeps until at, aiming early by twice the thread's usual lateness and watching
// the clock for the rest, so that the line is looked at right when the bytes are
// due: on a virtual machine a timer wakes 50-100 us late, 1 % of a byte's time.
void WakeAt(TimePoint at) {
    const TimePoint aim = at - std::min<Duration>(2 * t_lateness, kMostEarly);
    if (aim > KernelClock::now()) {
        SleepUntil(aim);
        const Duration late = std::min<Duration>(KernelClock::now() - aim, milliseconds(1));
        t_lateness += (late - t_lateness) / 8;
    }
    while (KernelClock::now() < at) {
    }
}

// The thread's timer slack (50 us by default) would be added to every sleep;
// while the drain sleeps it asks for the precision of the clock instead.
class CFineTimers {
public:
    CFineTimers() : m_old(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
        if (m_old > 1)
            ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    }
    ~CFineTimers() {
        if (m_old > 1)
            ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(m_old), 0, 0, 0);
    }
    CFineTimers(const CFineTimers&) = delete;
    CFineTimers& operator=(const CFineTimers&) = delete;

private:
    int m_old;
};

// How often the line is looked at once its bytes are due: a small part of a
// character time.
Duration LookStep(Duration charTime) {
    if (charTime <= Duration::zero())
        return microseconds(100);
    return std::clamp<Duration>(charTime / 64, microseconds(20), milliseconds(1));
}

// When to look again: not before the bytes can have left, then in short steps,
// or, while bytes are still queued, after the time they need at least.
TimePoint NextLook(TimePoint now, TimePoint expectedEnd, std::size_t nQueued, Duration charTime) {
    TimePoint at = now + LookStep(charTime);
    if (expectedEnd > at)
        at = expectedEnd;
    else if (nQueued > 0 && charTime > Duration::zero())
        at = std::max(at,
                      now + static_cast<int>(std::min<std::size_t>(nQueued, INT_MAX)) * charTime);
    return std::min(at, now + kLongestSleep);
}

struct StallWatch {
    Duration limit;
    std::size_t nLastQueued = SIZE_MAX;
    TimePoint lastMove = KernelClock::now();

    // True once the queue has not moved for the limit.
    bool Stalled(std::size_t nQueued, TimePoint now) {
        if (nQueued < nLastQueued) {
            nLastQueued = nQueued;
            lastMove = now;
        }
        return now - lastMove >= limit;
    }
};

int DrainFinely(const CLine& line, std::size_t nBytes, TimePoint queuedAt, Duration charTime) {
    const TimePoint expectedEnd = queuedAt + static_cast<int>(nBytes) * charTime;
    StallWatch watch{std::max<Duration>(kStallLimit, kStallChars * charTime)};
    CFineTimers fine;
    for (;;) {
        const TimePoint now = KernelClock::now();
        std::size_t nQueued = 0;
        if (int err = line.Queued(now, nQueued))
            return err;
        if (nQueued == 0) {
            Tx tx = Tx::Unknown;
            if (int err = line.Transmitter(now, tx))
                return err;
            if (tx == Tx::Empty || (tx == Tx::Unknown && now >= expectedEnd))
                return 0;
        }
        if (watch.Stalled(nQueued, now)) {
            line.Flush();
            return ETIMEDOUT;
        }
        if (now < expectedEnd && expectedEnd - now <= kLongestSleep)
            WakeAt(expectedEnd);
        else
            SleepUntil(NextLook(now, expectedEnd, nQueued, charTime));
    }
}

int TcDrain(int fd) {
    while (::tcdrain(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The kernel's drain on a modelled line: the queue empties (the writer is woken
// when it does), then the transmitter is polled in sleeps of one jiffy, which
// end on the second jiffy boundary.
int ModelledKernelDrain(const CLine& line, Duration charTime) {
    StallWatch watch{std::max<Duration>(kStallLimit, kStallChars * charTime)};
    for (;;) {
        const TimePoint now = KernelClock::now();
        std::size_t nQueued = 0;
        line.Queued(now, nQueued);
        if (nQueued == 0)
            break;
        if (watch.Stalled(nQueued, now)) {
            line.Flush();
            return ETIMEDOUT;
        }
        SleepUntil(now + microseconds(100));
    }
    while (!line.Sent(KernelClock::now())) {
        const Duration since = KernelClock::now().time_since_epoch();
        SleepUntil(TimePoint((since / kJiffy + 2) * kJiffy));
    }
    return 0;
}

} // namespace

int KernelDrainLine(int fd, std::size_t nBytes, KernelClock::time_point queuedAt) {
    const bool bPty = IsPseudoTerminal(fd);
    const bool bModelled = bPty && g_model != KernelLine::None;
    if (bPty && !bModelled)
        return g_drain == KernelDrain::Kernel ? TcDrain(fd) : 0; // no line: nothing to wait for
    if (!bModelled && g_drain == KernelDrain::Kernel)
        return TcDrain(fd);
    termios t;
    if (::tcgetattr(fd, &t) != 0)
        return errno;
    const Duration charTime = CharTime(t);
    const CLine line(fd, bModelled);
    if (bModelled)
        ModelQueue(fd, nBytes, queuedAt, charTime, (t.c_cflag & CRTSCTS) != 0);
    if (g_drain == KernelDrain::Kernel)
        return ModelledKernelDrain(line, charTime);
    return DrainFinely(line, nBytes, queuedAt, charTime);
}

void KernelModelLine(KernelLine line) {
    std::lock_guard<std::mutex> guard(g_modelLock);
    g_lines.clear();
    g_model = line;
}

void KernelSetDrain(KernelDrain drain) {
    g_drain = drain;
}

BOOL KernelModelledLineIdleAt(HANDLE hPort, std::chrono::steady_clock::time_point& at) {
    std::shared_ptr<CFileObject> file = KernelLookup<CFileObject>(hPort);
    if (!file || g_model == KernelLine::None)
        return FALSE;
    std::lock_guard<std::mutex> guard(g_modelLock);
    auto it = g_lines.find(file->Descriptor());
    if (it == g_lines.end())
        return FALSE;
    at = it->second.freeAt;
    return TRUE;
}
