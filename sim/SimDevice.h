// The model of the programming device behind the simulated port: it decodes the
// byte stream the program writes, keeps a 2048-byte flash and the lock state, and
// reports every command it decodes and every pause it measures as one text line.
//
// The model knows no file descriptor and no clock: the caller hands it the bytes
// with the time (in milliseconds on a monotonic clock) at which they arrived, and
// tells it when time has passed without bytes. That keeps it deterministic for tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class SimDevice {
public:
    static constexpr int kFlashSize = 2048;
    static constexpr int kTransferTestSize = 255;

    struct Options {
        // A data stream of write or verify has no length on the wire: it ends at
        // the device's 2048 bytes or at a pause of at least this long. A pause
        // that is followed by more data, not by a frame, was a hiccup of the
        // sender: the stream goes on.
        double streamGapMs = 15.0;
        // A stream after which nothing at all came for this long has ended.
        double streamSettleMs = 200.0;
        // A measured pause counts as long enough when it falls short of the
        // need by no more than this (scheduling of the simulator itself).
        double toleranceMs = 5.0;
        // After each data stream, a PACE line: its bytes per second against what
        // the line carries at most (1200 baud, 10 bits a byte), its longest pause.
        bool reportPace = false;
        double lineBytesPerSecond = 120.0;
    };

    using Sink = std::function<void(const std::string& line)>;

    SimDevice(Options options, Sink sink);

    // Bytes that arrived together at nowMs.
    void Feed(const std::uint8_t* data, std::size_t size, double nowMs);
    // Time has passed without bytes until nowMs: ends a stream after its gap.
    void Tick(double nowMs);
    // The time at which Tick has something to do, or a negative value for never.
    double NextDeadline() const;
    // The session ends at nowMs: ends an open stream, reports an open pause.
    void Finish(double nowMs);

    // Starts from the given flash content instead of an erased flash.
    void Preload(const std::array<std::uint8_t, kFlashSize>& flash) { m_flash = flash; }
    const std::array<std::uint8_t, kFlashSize>& Flash() const { return m_flash; }
    bool Locked() const { return m_bLocked; }
    bool Blank() const;
    int Commands() const { return m_nCommands; }
    int Shortfalls() const { return m_nShortfalls; }
    int Gaps() const { return m_nGaps; }
    long StrayBytes() const { return m_nStrayTotal; }
    long DroppedBytes() const { return m_nDroppedTotal; }

private:
    enum class State { Idle, Stream };
    enum class Kind { TransferTest, Write, Verify };

    void FeedByte(std::uint8_t b, double nowMs);
    void FeedIdle(std::uint8_t b, double nowMs);
    void Step();
    void FeedStream(std::uint8_t b, double nowMs);
    void FeedData(std::uint8_t b, double nowMs);
    void FeedAfterGap(std::uint8_t b, double nowMs);
    void Resume(double atMs);
    bool OverflowFrame(std::uint8_t b, double nowMs);
    void Command(std::uint8_t code, double nowMs);
    void StartStream(Kind kind, std::uint8_t code, double nowMs);
    void TakeData(std::uint8_t b, double nowMs);
    void StreamData(std::uint8_t b);
    void EndStream();
    void ReportPace();
    void EndPause(double nowMs, const char* how);
    void NeedPause(const char* name, int needMs, double sinceMs);
    void AddStray(std::uint8_t b);
    void FlushStray();
    const char* StreamName() const;
    std::string CmdHead(std::uint8_t code, const char* name) const;

    Options m_options;
    Sink m_sink;
    std::array<std::uint8_t, kFlashSize> m_flash;
    bool m_bLocked = false;
    int m_nCommands = 0;
    int m_nShortfalls = 0;
    int m_nGaps = 0;
    long m_nStrayTotal = 0;
    long m_nDroppedTotal = 0;

    State m_state = State::Idle;
    double m_lastByteMs = 0.0;

    // Lead bytes of a frame seen so far (0, 1 or 2) and stray bytes not yet reported.
    int m_nLead = 0;
    long m_nStray = 0;
    std::uint8_t m_firstStray = 0;

    // The open data stream.
    Kind m_kind = Kind::Write;
    std::uint8_t m_code = 0;
    int m_nData = 0;
    long m_nDropped = 0;
    bool m_bAllFF = true;
    bool m_bRefused = false;
    int m_badAddr = -1;
    std::uint8_t m_badHave = 0;
    std::uint8_t m_badSent = 0;
    int m_nOverflowLead = 0;
    // After a pause in the stream: the bytes that may start the next frame.
    bool m_bQuiet = false;
    std::uint8_t m_resume[3] = {};
    int m_nResume = 0;
    double m_resumeAtMs = 0.0;
    double m_lastDataMs = 0.0;
    // The stream's pace: from its frame to its last data byte taken (into the
    // flash or compared), and the longest time between two of them.
    double m_streamStartMs = 0.0;
    double m_lastTakenMs = 0.0;
    double m_maxGapMs = 0.0;

    // The pause the device needs after the last command.
    bool m_bPause = false;
    std::string m_pauseAfter;
    int m_pauseNeedMs = 0;
    double m_pauseSinceMs = 0.0;
};
