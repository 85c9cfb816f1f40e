#include "kernel/PortLock.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kLockFolder = "/var/lock";
constexpr int kNoLockFolder = -1; // not an errno value

// The lock files this process holds, by descriptor. Kept to the end of the process
// (never destroyed), so that the exit handler still finds it.
std::mutex g_lock;
std::map<int, std::string>& HeldLocks() {
    static auto* held = new std::map<int, std::string>;
    return *held;
}

bool IsNumber(const char* s) {
    if (*s == '\0')
        return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9')
            return false;
    return true;
}

// Whether a process other than this one has a descriptor on the character device rdev.
bool HeldByAnotherProcess(dev_t rdev) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return false;
    const std::string self = std::to_string(::getpid());
    bool bHeld = false;
    while (!bHeld) {
        const dirent* pid = ::readdir(proc);
        if (pid == nullptr)
            break;
        if (!IsNumber(pid->d_name) || self == pid->d_name)
            continue;
        const std::string fdDir = std::string("/proc/") + pid->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str()); // another user's: not readable, not seen
        if (fds == nullptr)
            continue;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat st;
            if (!IsNumber(fd->d_name) || ::stat((fdDir + "/" + fd->d_name).c_str(), &st) != 0)
                continue;
            if (S_ISCHR(st.st_mode) && st.st_rdev == rdev) {
                bHeld = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return bHeld;
}

// The pid a lock file names: ten ASCII digits (blanks before them) and a line feed,
// or the binary int of older programs; 0 when it names none.
pid_t LockOwner(const std::string& lockPath, int& err) {
    err = 0;
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return 0;
    }
    char buf[32] = {};
    const ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    if (n == static_cast<ssize_t>(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, buf, sizeof binary);
        if (binary > 0 && std::strchr(buf, '\n') == nullptr)
            return binary;
    }
    char* end = nullptr;
    const long pid = n > 0 ? std::strtol(buf, &end, 10) : 0;
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool IsAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

bool HeldHere(const std::string& lockPath) {
    for (const auto& held : HeldLocks())
        if (held.second == lockPath)
            return true;
    return false;
}

// Removes the lock file if it is this process's own.
void RemoveOwn(const std::string& lockPath) {
    int err = 0;
    if (LockOwner(lockPath, err) == ::getpid())
        ::unlink(lockPath.c_str());
}

void RemoveAllAtExit() {
    std::lock_guard<std::mutex> guard(g_lock);
    for (const auto& held : HeldLocks())
        RemoveOwn(held.second);
    HeldLocks().clear();
}

// A folder that does not exist or that this process may not write holds no lock.
bool IsNoLockFolder(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == ENOENT || err == ENOTDIR;
}

// Creates the lock file with this process's pid; EEXIST when there is one.
int CreateLock(const std::string& lockPath) {
    const int fd =
        ::open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    const bool bWritten = ::write(fd, text, static_cast<size_t>(n)) == n;
    const int err = bWritten ? 0 : (errno ? errno : EIO);
    ::close(fd);
    if (!bWritten)
        ::unlink(lockPath.c_str());
    return err;
}

// Takes the lock file, or tells why not; a lock of a process that is gone (or of an
// earlier process that had this pid) is removed first.
int TakeLock(const std::string& lockPath) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        int err = CreateLock(lockPath);
        if (err == 0)
            return 0;
        if (IsNoLockFolder(err))
            return kNoLockFolder;
        if (err != EEXIST)
            return err;
        const pid_t owner = LockOwner(lockPath, err);
        if (err == ENOENT)
            continue; // gone meanwhile
        if (err != 0)
            return err;
        if (owner == 0 || (owner == ::getpid() ? HeldHere(lockPath) : IsAlive(owner)))
            return EBUSY; // being written, unreadable, or held
        ::unlink(lockPath.c_str());
    }
    return EBUSY;
}

} // namespace

std::string KernelPortLockPath(const std::string& path) {
    std::string device = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        device = real;
        std::free(real);
    }
    const size_t slash = device.rfind('/');
    return std::string(kLockFolder) + "/LCK.." +
           (slash == std::string::npos ? device : device.substr(slash + 1));
}

int KernelClaimPort(int fd, const std::string& path) {
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return errno;
    if (S_ISCHR(st.st_mode) && HeldByAnotherProcess(st.st_rdev))
        return EBUSY;

    const std::string lockPath = KernelPortLockPath(path);
    std::lock_guard<std::mutex> guard(g_lock);
    const int err = TakeLock(lockPath);
    if (err == kNoLockFolder)
        return 0; // the port is claimed without a lock file
    if (err != 0)
        return err;
    static const bool bHandlerSet = std::atexit(RemoveAllAtExit) == 0;
    (void)bHandlerSet;
    HeldLocks()[fd] = lockPath;
    return 0;
}

void KernelUnclaimPort(int fd) {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = HeldLocks().find(fd);
    if (it == HeldLocks().end())
        return;
    RemoveOwn(it->second);
    HeldLocks().erase(it);
}
