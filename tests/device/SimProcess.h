// korvanto-sim as a child process of a test: started on a link path, its report
// lines read from its stdout.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
public:
    // Starts the simulator with these arguments (after the program name); as the
    // user runAsUid when that is not -1 (the test runs as root).
    explicit SimProcess(const std::vector<std::string>& args, int runAsUid = -1);
    ~SimProcess(); // kills a simulator still running

    // Reads report lines until one starts with prefix; false after timeoutMs or EOF.
    bool WaitFor(const std::string& prefix, int timeoutMs);
    // Sends sig and reads the rest of the report; the exit status, or -1.
    int Stop(int sig);
    // Waits for the simulator to end by itself (at most timeoutMs); the exit status, or -1.
    int Wait(int timeoutMs);

    const std::vector<std::string>& Lines() const { return m_lines; }
    // The first line starting with prefix, or "" when there is none.
    std::string Line(const std::string& prefix) const;
    // Whether the report holds exactly this line.
    bool HasLine(const std::string& line) const;
    std::string Report() const; // all lines, for failure messages

private:
    bool ReadSome(int timeoutMs);
    int Reap(int timeoutMs);

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_partial;
    std::vector<std::string> m_lines;
};

// The path of the simulator built with the tests.
std::string SimPath();
