#include "tests/fault/FaultSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::string DescriptorTarget(int fd) {
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
    return len > 0 ? std::string(target, static_cast<size_t>(len)) : "?";
}

// The windowing system's event loop opens wake-up eventfds of its own when it likes
// (a first nested loop, a helper thread starting late); the program's way to the device
// opens only files and ports, never an eventfd, so those are not counted.
bool IsEventLoopWakeUp(int fd) {
    return DescriptorTarget(fd).rfind("anon_inode:[eventfd]", 0) == 0;
}

template <class F> void ForEachDescriptor(F f) {
    DIR* d = opendir("/proc/self/fd");
    if (!d)
        return;
    const int self = dirfd(d);
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        const int fd = std::stoi(e->d_name);
        if (fd != self && !IsEventLoopWakeUp(fd))
            f(fd);
    }
    closedir(d);
}

} // namespace

int OpenDescriptorCount() {
    int n = 0;
    ForEachDescriptor([&](int) { ++n; });
    return n;
}

std::string OpenDescriptorList() {
    std::string list;
    ForEachDescriptor(
        [&](int fd) { list += std::to_string(fd) + " -> " + DescriptorTarget(fd) + "\n"; });
    return list;
}

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    std::string key;
    while (in >> key) {
        if (key == "VmRSS:") {
            long kib = -1;
            in >> kib;
            return kib;
        }
        in.ignore(4096, '\n');
    }
    return -1;
}

bool NobodyLocks(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd); // drops the lock with the descriptor
    return free;
}

bool NobodyLocksFd(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    flock(fd, LOCK_UN);
    return true;
}

bool ResidentSizeTellsLeaks() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

int LeaksFoundNow() {
#if defined(__SANITIZE_ADDRESS__)
    return __lsan_do_recoverable_leak_check();
#else
    return 0;
#endif
}
