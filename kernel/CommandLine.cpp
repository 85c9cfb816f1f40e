// The process's command line as one string, built once from its arguments.
#include "kernel/CommandLine.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/KernelTesting.h"

namespace {

std::mutex g_lock;
std::unique_ptr<std::string> g_line;     // from the arguments, once known
std::unique_ptr<std::string> g_override; // a test's text
// Lines handed out before being replaced stay valid to the end of the process.
std::vector<std::unique_ptr<std::string>> g_retired;

void Replace(std::unique_ptr<std::string>& slot, std::unique_ptr<std::string> line) {
    if (slot)
        g_retired.push_back(std::move(slot));
    slot = std::move(line);
}

std::string Join(const std::vector<std::string>& args) {
    std::string line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i > 0)
            line += ' ';
        if (arg.empty() || arg.find_first_of(" \t") != std::string::npos)
            line += '"' + arg + '"';
        else
            line += arg;
    }
    return line;
}

// For a process whose entry routine never handed its arguments over.
std::vector<std::string> ArgumentsOfProcess() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    for (size_t start = 0; start < raw.size();) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos)
            end = raw.size();
        args.push_back(raw.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

} // namespace

void KernelInitCommandLine(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        args.emplace_back(argv[i]);
    std::lock_guard<std::mutex> guard(g_lock);
    Replace(g_line, std::make_unique<std::string>(Join(args)));
}

LPSTR GetCommandLineA() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_override)
        return g_override->data();
    if (!g_line)
        g_line = std::make_unique<std::string>(Join(ArgumentsOfProcess()));
    return g_line->data();
}

void KernelOverrideCommandLine(LPCSTR text) {
    std::lock_guard<std::mutex> guard(g_lock);
    Replace(g_override, text ? std::make_unique<std::string>(text) : nullptr);
}
