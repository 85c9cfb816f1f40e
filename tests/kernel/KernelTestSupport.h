// Real parts for the kernel binding's tests: pseudo-terminals, temporary
// directories, locales and environment variables that are put back afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "kernel/Kernel.h"

namespace ktest {

// A pseudo-terminal: the port side (slave) under its path, and the peer (master)
// that sees what the port sends and feeds what it receives.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && m_slave >= 0; }
    int master() const { return m_master; }
    int slave() const { return m_slave; } // a second descriptor on the port side
    const std::string& path() const { return m_path; }
    void CloseMaster(); // hangs the port up
    void CloseSlave();  // leaves the port side to whoever opens it

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// The settings a fresh terminal starts with: canonical input, echo, signals,
// CR/LF translation both ways, XON/XOFF.
void MakeCooked(int fd);

// Reads from fd until n bytes came or timeoutMs passed without any.
std::vector<unsigned char> ReadFromPeer(int fd, size_t n, int timeoutMs = 5000);
// True when something arrives on fd within timeoutMs.
bool PeerHasData(int fd, int timeoutMs);
void WriteToPeer(int fd, const std::vector<unsigned char>& bytes);

std::vector<unsigned char> AllByteValues();

// The system text FormatMessageA gives for code; nullopt when it gives none.
std::optional<std::string> SystemText(DWORD code);

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return m_path; }
    std::string File(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value); // nullptr: unset
    ~ScopedEnv();

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace ktest
