#include "sim/SimDevice.h"

#include <cstdio>
#include <utility>

namespace {

constexpr std::uint8_t kLead1 = 0xEB;
constexpr std::uint8_t kLead2 = 0x98;
constexpr std::uint8_t kCodeTransferTest = 0x80;
constexpr std::uint8_t kCodeErase = 0x12;
constexpr std::uint8_t kCodeVerify = 0x08;
constexpr std::uint8_t kCodeWrite = 0x04;
constexpr std::uint8_t kCodeLockBits = 0xE0;

constexpr int kEraseNeedMs = 250;
constexpr int kLockNeedMs = 250;
constexpr int kImageNeedMs = 30;

bool KnownCode(std::uint8_t code) {
    return code == kCodeTransferTest || code == kCodeErase || code == kCodeVerify ||
           code == kCodeWrite || code == kCodeLockBits;
}

std::string Format(const char* fmt, long a, unsigned b, unsigned c) {
    char buf[96];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

} // namespace

SimDevice::SimDevice(Options options, Sink sink) : m_options(options), m_sink(std::move(sink)) {
    m_flash.fill(0xFF);
}

bool SimDevice::Blank() const {
    for (std::uint8_t b : m_flash)
        if (b != 0xFF)
            return false;
    return true;
}

void SimDevice::Feed(const std::uint8_t* data, std::size_t size, double nowMs) {
    Tick(nowMs);
    for (std::size_t i = 0; i < size; ++i)
        FeedByte(data[i], nowMs);
}

void SimDevice::FeedByte(std::uint8_t b, double nowMs) {
    if (m_bPause)
        EndPause(nowMs, nullptr);
    if (m_state == State::Stream)
        FeedStream(b, nowMs);
    else
        FeedIdle(b, nowMs);
    m_lastByteMs = nowMs;
}

void SimDevice::Tick(double nowMs) {
    for (;;) {
        double deadline = NextDeadline();
        if (deadline < 0 || nowMs < deadline)
            return;
        Step();
    }
}

// What is due at the deadline.
void SimDevice::Step() {
    if (m_state == State::Stream) {
        if (!m_bQuiet)
            m_bQuiet = true; // a pause: the stream may have ended
        else if (m_nResume > 0)
            Resume(m_resumeAtMs); // what came after the pause started no frame
        else
            EndStream(); // nothing came for long: the stream has ended
        return;
    }
    // A frame that stopped after its lead bytes is no frame.
    if (m_nLead >= 1)
        AddStray(kLead1);
    if (m_nLead >= 2)
        AddStray(kLead2);
    m_nLead = 0;
    FlushStray();
}

double SimDevice::NextDeadline() const {
    if (m_state == State::Stream && m_bQuiet && m_nResume == 0)
        return m_lastByteMs + m_options.streamSettleMs;
    if (m_state == State::Stream || m_nLead > 0 || m_nStray > 0)
        return m_lastByteMs + m_options.streamGapMs;
    return -1.0;
}

void SimDevice::Finish(double nowMs) {
    Tick(1e300);
    if (m_bPause)
        EndPause(nowMs, "open");
}

void SimDevice::FeedIdle(std::uint8_t b, double nowMs) {
    if (m_nLead == 0) {
        if (b == kLead1)
            m_nLead = 1;
        else
            AddStray(b);
    } else if (m_nLead == 1) {
        if (b == kLead2) {
            m_nLead = 2;
        } else {
            AddStray(kLead1);
            m_nLead = 0;
            FeedIdle(b, nowMs);
        }
    } else {
        m_nLead = 0;
        FlushStray();
        Command(b, nowMs);
    }
}

void SimDevice::Command(std::uint8_t code, double nowMs) {
    switch (code) {
    case kCodeTransferTest:
        StartStream(Kind::TransferTest, code, nowMs);
        break;
    case kCodeWrite:
        StartStream(Kind::Write, code, nowMs);
        break;
    case kCodeVerify:
        StartStream(Kind::Verify, code, nowMs);
        break;
    case kCodeErase:
        m_flash.fill(0xFF);
        m_bLocked = false;
        ++m_nCommands;
        m_sink(CmdHead(code, "erase") + " result=ok");
        NeedPause("erase", kEraseNeedMs, nowMs);
        break;
    case kCodeLockBits:
        m_bLocked = true;
        ++m_nCommands;
        m_sink(CmdHead(code, "lock-bits") + " result=ok");
        NeedPause("lock-bits", kLockNeedMs, nowMs);
        break;
    default:
        ++m_nCommands;
        m_sink(CmdHead(code, "unknown") + " result=ignored");
        break;
    }
}

const char* SimDevice::StreamName() const {
    switch (m_kind) {
    case Kind::TransferTest:
        return "transfer-test";
    case Kind::Write:
        return "write";
    default:
        return "verify";
    }
}

void SimDevice::StartStream(Kind kind, std::uint8_t code, double nowMs) {
    m_state = State::Stream;
    m_kind = kind;
    m_code = code;
    m_nData = 0;
    m_nDropped = 0;
    m_bAllFF = true;
    m_bRefused = m_bLocked && kind != Kind::TransferTest;
    m_badAddr = -1;
    m_nOverflowLead = 0;
    m_bQuiet = false;
    m_nResume = 0;
    m_lastDataMs = nowMs;
    m_streamStartMs = nowMs;
    m_lastTakenMs = nowMs;
    m_maxGapMs = 0.0;
}

void SimDevice::FeedStream(std::uint8_t b, double nowMs) {
    if (m_bQuiet)
        FeedAfterGap(b, nowMs);
    else
        FeedData(b, nowMs);
}

void SimDevice::FeedData(std::uint8_t b, double nowMs) {
    if (m_kind == Kind::TransferTest) {
        TakeData(b, nowMs);
        if (m_nData == kTransferTestSize)
            EndStream();
        return;
    }
    if (m_nData < kFlashSize) {
        TakeData(b, nowMs);
        return;
    }
    if (!OverflowFrame(b, nowMs))
        m_lastDataMs = nowMs;
}

// The first bytes after a pause: a frame with a known code ends the stream at the
// pause; anything else means the sender only paused, and the stream goes on.
void SimDevice::FeedAfterGap(std::uint8_t b, double nowMs) {
    if (m_nResume == 0)
        m_resumeAtMs = nowMs;
    m_resume[m_nResume++] = b;
    if ((m_nResume == 1 && b == kLead1) || (m_nResume == 2 && b == kLead2))
        return;
    if (m_nResume == 3 && KnownCode(b)) {
        m_nResume = 0;
        m_bQuiet = false;
        EndStream();
        if (m_bPause)
            EndPause(nowMs, nullptr);
        Command(b, nowMs);
        return;
    }
    Resume(nowMs);
}

void SimDevice::Resume(double atMs) {
    ++m_nGaps;
    const char* name = StreamName();
    m_sink(std::string("GAP in=") + name + " data=" + std::to_string(m_nData) +
           " ms=" + std::to_string(static_cast<long>(m_resumeAtMs - m_lastDataMs)));
    m_bQuiet = false;
    int n = m_nResume;
    m_nResume = 0;
    std::uint8_t held[3] = {m_resume[0], m_resume[1], m_resume[2]};
    for (int i = 0; i < n; ++i) {
        if (m_state == State::Stream)
            FeedData(held[i], atMs);
        else
            FeedIdle(held[i], atMs);
    }
}

// Past the flash's end every byte is dropped, but a full stream may be followed
// at once by the next frame (the blank test has no pause after it): a frame with
// a known code ends the stream. Returns true when b completed such a frame.
bool SimDevice::OverflowFrame(std::uint8_t b, double nowMs) {
    if (m_nOverflowLead == 0) {
        if (b == kLead1)
            m_nOverflowLead = 1;
        else
            ++m_nDropped;
        return false;
    }
    if (m_nOverflowLead == 1) {
        if (b == kLead2) {
            m_nOverflowLead = 2;
            return false;
        }
        ++m_nDropped;
        m_nOverflowLead = 0;
        return OverflowFrame(b, nowMs);
    }
    if (!KnownCode(b)) {
        m_nDropped += 2;
        m_nOverflowLead = 0;
        return OverflowFrame(b, nowMs);
    }
    m_nOverflowLead = 0;
    EndStream();
    if (m_bPause)
        EndPause(nowMs, nullptr);
    Command(b, nowMs);
    return true;
}

void SimDevice::TakeData(std::uint8_t b, double nowMs) {
    if (m_nData > 0 && nowMs - m_lastTakenMs > m_maxGapMs)
        m_maxGapMs = nowMs - m_lastTakenMs;
    StreamData(b);
    m_lastDataMs = nowMs;
    m_lastTakenMs = nowMs;
}

void SimDevice::StreamData(std::uint8_t b) {
    int i = m_nData++;
    if (b != 0xFF)
        m_bAllFF = false;
    if (m_kind == Kind::TransferTest) {
        std::uint8_t want = static_cast<std::uint8_t>(i + 1);
        if (b != want && m_badAddr < 0) {
            m_badAddr = i;
            m_badHave = b;
            m_badSent = want;
        }
        return;
    }
    if (m_bRefused)
        return;
    if (m_kind == Kind::Write)
        m_flash[i] &= b; // programming can only clear bits
    if (m_flash[i] != b && m_badAddr < 0) {
        m_badAddr = i;
        m_badHave = m_flash[i];
        m_badSent = b;
    }
}

void SimDevice::EndStream() {
    if (m_nOverflowLead > 0) {
        m_nDropped += m_nOverflowLead;
        m_nOverflowLead = 0;
        m_lastDataMs = m_lastByteMs;
    }
    m_state = State::Idle;
    ++m_nCommands;
    m_nDroppedTotal += m_nDropped;

    const char* name = StreamName();
    std::string line = CmdHead(m_code, name) + " data=" + std::to_string(m_nData);
    if (m_nDropped > 0)
        line += " dropped=" + std::to_string(m_nDropped);

    if (m_kind == Kind::TransferTest) {
        if (m_badAddr >= 0)
            line += Format(" result=bad index=%ld got=0x%02x want=0x%02x", m_badAddr, m_badHave,
                           m_badSent);
        else if (m_nData < kTransferTestSize)
            line += " result=cut";
        else
            line += " result=ok";
        m_sink(line);
        ReportPace();
        return;
    }

    if (m_bRefused)
        line += " result=locked";
    else if (m_badAddr >= 0)
        line += Format(m_kind == Kind::Write
                           ? " result=unwritable addr=0x%04lx flash=0x%02x sent=0x%02x"
                           : " result=differs addr=0x%04lx flash=0x%02x sent=0x%02x",
                       m_badAddr, m_badHave, m_badSent);
    else
        line += " result=ok";
    m_sink(line);
    ReportPace();

    // Programming needs its pause; so does a verify of an image. A verify stream
    // of nothing but 0xFF is the blank test, which the program does not pace.
    bool blankTest = m_kind == Kind::Verify && m_nData > 0 && m_bAllFF;
    if (!blankTest)
        NeedPause(name, kImageNeedMs, m_lastDataMs);
}

// How fast the stream came, against what the line carries at most, and its longest
// pause between two data bytes; nothing when its bytes came all at once.
void SimDevice::ReportPace() {
    const double spanMs = m_lastTakenMs - m_streamStartMs;
    if (!m_options.reportPace || m_nData == 0 || spanMs <= 0.0)
        return;
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "PACE in=%s data=%d bytes-per-s=%.1f line-bytes-per-s=%.0f max-gap-ms=%.1f",
                  StreamName(), m_nData, m_nData * 1000.0 / spanMs, m_options.lineBytesPerSecond,
                  m_maxGapMs);
    m_sink(buf);
}

void SimDevice::NeedPause(const char* name, int needMs, double sinceMs) {
    m_bPause = true;
    m_pauseAfter = name;
    m_pauseNeedMs = needMs;
    m_pauseSinceMs = sinceMs;
}

void SimDevice::EndPause(double nowMs, const char* how) {
    m_bPause = false;
    double ms = nowMs - m_pauseSinceMs;
    const char* result = how;
    if (result == nullptr) {
        result = ms + m_options.toleranceMs >= m_pauseNeedMs ? "ok" : "short";
        if (result[0] == 's')
            ++m_nShortfalls;
    }
    m_sink("PAUSE after=" + m_pauseAfter + " ms=" + std::to_string(static_cast<long>(ms)) +
           " need=" + std::to_string(m_pauseNeedMs) + " result=" + result);
}

void SimDevice::AddStray(std::uint8_t b) {
    if (m_nStray == 0)
        m_firstStray = b;
    ++m_nStray;
    ++m_nStrayTotal;
}

void SimDevice::FlushStray() {
    if (m_nStray == 0)
        return;
    m_sink(Format("STRAY bytes=%ld first=0x%02x", m_nStray, m_firstStray, 0));
    m_nStray = 0;
}

std::string SimDevice::CmdHead(std::uint8_t code, const char* name) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "CMD n=%d code=0x%02x name=%s", m_nCommands, code, name);
    return buf;
}
