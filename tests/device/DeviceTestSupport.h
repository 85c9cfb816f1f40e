// What the device tests look at: the bytes that reach the far end of a real
// pseudo-terminal, the messages a real progress control receives, and every
// message box, answered and recorded.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/Kernel.h"
#include "ui/CProgressCtrl.h"
#include "ui/TestSeams.h"

using Bytes = std::vector<unsigned char>;

Bytes Frame(unsigned char code);
Bytes Fill(std::size_t n, unsigned char v);
Bytes Rising(int from, int to);
// n bytes of a fixed pseudo-random sequence: an image with no pattern a stream could
// fake by accident.
Bytes PseudoRandom(std::size_t n, unsigned seed);
Bytes operator+(Bytes a, const Bytes& b);

// A pseudo-terminal whose slave stands for the port COMn (KORVANTO_COMn); a
// thread collects everything that reaches the master side.
class PtyLine {
public:
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    void MapTo(int nCom) const;
    const std::string& SlavePath() const { return m_slavePath; }
    int SlaveFd() const { return m_slave; }

    // Everything that arrived once nAtLeast bytes are there (or a few seconds
    // passed) and the line has been quiet for a moment.
    Bytes Settle(std::size_t nAtLeast = 0);
    // What has arrived so far.
    Bytes Seen();
    // Waits until nCount bytes have arrived (everything written so far), then
    // closes the master side: later writes to the port fail.
    void HangUp(std::size_t nCount);

private:
    void Reader();

    int m_master = -1;
    int m_slave = -1;
    int m_stop[2] = {-1, -1};
    std::string m_slavePath;
    std::thread m_reader;
    std::mutex m_mutex;
    Bytes m_bytes;
};

// Settles the line and compares what it carried with want, naming the first
// difference (a stream of 65 kB does not print well whole).
::testing::AssertionResult LineCarries(PtyLine& line, const Bytes& want);

// One message to the progress control.
struct BarStep {
    char kind;  // 'R' range, 'P' position
    unsigned a; // lower bound, or the position
    unsigned b; // upper bound
    bool operator==(const BarStep& o) const { return kind == o.kind && a == o.a && b == o.b; }
};
void PrintTo(const BarStep& s, std::ostream* os);
using BarSteps = std::vector<BarStep>;
BarStep Range(unsigned lo, unsigned hi);
BarStep Pos(unsigned p);
BarSteps Positions(unsigned from, unsigned to); // from .. to inclusive
BarSteps operator+(BarSteps a, const BarSteps& b);

// Compares two step sequences, naming the first difference.
::testing::AssertionResult SameSteps(const BarSteps& got, const BarSteps& want);

// A real progress control, with every range and position sent to it recorded.
class BarSpy {
public:
    BarSpy();
    ~BarSpy();
    CProgressCtrl* Bar() { return &m_bar; }
    const BarSteps& Steps() const { return m_steps; }
    // Called after each step is recorded (from inside SendMessageA).
    std::function<void(const BarStep&)> onStep;

private:
    HWND m_hWnd;
    CProgressCtrl m_bar;
    BarSteps m_steps;
};

// A message box as it was shown: owner, text, caption and style, with the thread's
// last error at that moment and the system's text for it.
struct Box {
    bool bOwned;
    std::string text;
    std::string caption;
    UINT type;
    DWORD dwError;
    std::string systemText;
};

// Answers every box with IDOK and records it.
class BoxLog {
public:
    BoxLog();
    ~BoxLog();
    const std::vector<Box>& Boxes() const { return m_boxes; }
    std::function<void(const Box&)> onBox; // called while the box is open

private:
    std::vector<Box> m_boxes;
};

// The system's text for an error code, "" when it has none.
std::string SystemText(DWORD dwError);

// The texts of the reports.
extern const char* const kOpenFailed;
extern const char* const kStateUnread;
extern const char* const kStateUnchanged;
extern const char* const kCloseFailed;
extern const char* const kFrameFailed;
extern const char* const kByteFailed;
extern const char* const kImageUnopened;
extern const char* const kImageUnread;
extern const char* const kLockNotice;

// Checks that box is the fatal error report of message for dwError.
::testing::AssertionResult IsFatalReport(const Box& box, const std::string& message, DWORD dwError);
