// Files and serial ports behind HANDLEs.
#include "kernel/FileApi.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "kernel/KernelError.h"
#include "kernel/KernelFaults.h"
#include "kernel/KernelFile.h"
#include "kernel/LineDrain.h"
#include "kernel/SerialPort.h"

namespace {

int AccessFlags(DWORD dwDesiredAccess) {
    const bool read = dwDesiredAccess & GENERIC_READ;
    const bool write = dwDesiredAccess & GENERIC_WRITE;
    if (read && write)
        return O_RDWR;
    return write ? O_WRONLY : O_RDONLY;
}

bool CreationFlags(DWORD dwCreationDisposition, int& flags) {
    switch (dwCreationDisposition) {
    case OPEN_EXISTING:
        flags = 0;
        return true;
    case CREATE_NEW:
        flags = O_CREAT | O_EXCL;
        return true;
    case CREATE_ALWAYS:
        flags = O_CREAT | O_TRUNC;
        return true;
    case OPEN_ALWAYS:
        flags = O_CREAT;
        return true;
    default:
        return false;
    }
}

HANDLE Fail(int err) {
    KernelFail(static_cast<DWORD>(err));
    return INVALID_HANDLE_VALUE;
}

HANDLE Register(int fd, bool bPort, bool bTerminal, const std::string& path) {
    return KernelRegisterObject(std::make_shared<CFileObject>(fd, bPort, bTerminal, path));
}

HANDLE OpenPort(const std::string& path) {
    int fd = -1;
    bool bTerminal = false;
    if (int err = KernelOpenPort(path, fd, bTerminal)) {
        KernelFailWithDetail(static_cast<DWORD>(err), path); // the user sees which device
        return INVALID_HANDLE_VALUE;
    }
    return Register(fd, true, bTerminal, path);
}

// Only a regular file opens. Opened non-blocking, so that a FIFO never waits for
// a writer; anything else is refused before a single byte is read.
HANDLE OpenFile(const char* path, DWORD dwDesiredAccess, DWORD dwCreationDisposition) {
    int creation = 0;
    if (!CreationFlags(dwCreationDisposition, creation))
        return Fail(EINVAL);
    const int fd = ::open(
        path, AccessFlags(dwDesiredAccess) | creation | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return Fail(errno);
    struct stat st;
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (err == 0 && !S_ISREG(st.st_mode))
        err = S_ISDIR(st.st_mode) ? EISDIR : ENXIO; // FIFO, socket, device: no image file
    const int flags = err == 0 ? ::fcntl(fd, F_GETFL) : -1;
    if (err == 0 && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0))
        err = errno;
    if (err != 0) {
        ::close(fd);
        return Fail(err);
    }
    return Register(fd, false, false, path);
}

std::shared_ptr<CFileObject> LookupFile(HANDLE h) {
    std::shared_ptr<CFileObject> file = KernelLookup<CFileObject>(h);
    if (!file)
        KernelFail(EBADF);
    return file;
}

BOOL WriteAll(int fd, const BYTE* p, DWORD n, DWORD& done) {
    while (done < n) {
        const ssize_t w = ::write(fd, p + done, n - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            KernelFail(w < 0 ? static_cast<DWORD>(errno) : EIO);
            return FALSE;
        }
        done += static_cast<DWORD>(w);
    }
    return TRUE;
}

BOOL Drain(int fd, DWORD nBytes, KernelClock::time_point queuedAt) {
    if (int err = KernelDrainLine(fd, nBytes, queuedAt)) {
        KernelFail(static_cast<DWORD>(err));
        return FALSE;
    }
    return TRUE;
}

} // namespace

CFileObject::CFileObject(int fd, bool bPort, bool bTerminal, std::string strPath)
    : m_fd(fd), m_bPort(bPort), m_bTerminal(bTerminal), m_strPath(std::move(strPath)) {}

CFileObject::~CFileObject() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int CFileObject::Close() {
    if (m_bPort)
        KernelReleasePort(m_fd, m_bTerminal);
    const int fd = m_fd;
    m_fd = -1;
    // On Linux the descriptor is gone even when close reports EINTR.
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                   LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                   DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
    if (KernelFaultFires(KernelFault::CreateFile))
        return INVALID_HANDLE_VALUE;
    if (lpFileName == nullptr || *lpFileName == '\0')
        return Fail(ENOENT);
    std::string portPath;
    if (KernelPortPath(lpFileName, portPath))
        return OpenPort(portPath); // ports are always exclusive, whatever the share mode
    return OpenFile(lpFileName, dwDesiredAccess, dwCreationDisposition);
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = 0;
    if (KernelFaultFires(KernelFault::ReadFile))
        return FALSE;
    std::shared_ptr<CFileObject> file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead > 0)) {
        KernelFail(EINVAL);
        return FALSE;
    }
    BYTE* p = static_cast<BYTE*>(lpBuffer);
    DWORD done = 0;
    // Until all bytes are there or the end of the file: no time-outs are set.
    while (done < nNumberOfBytesToRead) {
        const ssize_t r = ::read(file->Descriptor(), p + done, nNumberOfBytesToRead - done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            if (lpNumberOfBytesRead)
                *lpNumberOfBytesRead = done;
            KernelFail(static_cast<DWORD>(errno));
            return FALSE;
        }
        if (r == 0)
            break;
        done += static_cast<DWORD>(r);
    }
    if (lpNumberOfBytesRead)
        *lpNumberOfBytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    if (KernelFaultFires(KernelFault::WriteFile))
        return FALSE;
    std::shared_ptr<CFileObject> file = LookupFile(hFile);
    if (!file)
        return FALSE;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite > 0)) {
        KernelFail(EINVAL);
        return FALSE;
    }
    DWORD done = 0;
    const KernelClock::time_point queuedAt = KernelClock::now();
    BOOL ok = WriteAll(file->Descriptor(), static_cast<const BYTE*>(lpBuffer),
                       nNumberOfBytesToWrite, done);
    // On a port the call returns when the bytes have left, as the pacing assumes.
    if (ok && file->IsTerminal())
        ok = Drain(file->Descriptor(), done, queuedAt);
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = done;
    return ok;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    std::shared_ptr<CFileObject> file = LookupFile(hFile);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat st;
    if (::fstat(file->Descriptor(), &st) != 0) {
        KernelFail(static_cast<DWORD>(errno));
        return INVALID_FILE_SIZE;
    }
    const unsigned long long size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    const DWORD low = static_cast<DWORD>(size & 0xFFFFFFFFu);
    if (low == INVALID_FILE_SIZE)
        KernelFail(ERROR_SUCCESS); // tells a real size from a failure
    return low;
}

BOOL CloseHandle(HANDLE hObject) {
    if (KernelFaultFires(KernelFault::CloseHandle))
        return FALSE;
    std::shared_ptr<CKernelObject> object = KernelUnregisterObject(hObject);
    if (!object) {
        KernelFail(EBADF);
        return FALSE;
    }
    if (int err = object->Close()) {
        KernelFail(static_cast<DWORD>(err));
        return FALSE;
    }
    return TRUE;
}
