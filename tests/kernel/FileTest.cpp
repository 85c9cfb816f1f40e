// Image files: open, size, byte-by-byte reads, and what is no regular file.
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"

namespace {

HANDLE OpenImage(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

class ImageFile : public ::testing::Test {
protected:
    ktest::TempDir m_dir;
    void SetUp() override { ASSERT_FALSE(m_dir.path().empty()); }
};

TEST_F(ImageFile, ReadsEveryByteOneAtATimeThenEndsWithZeroRead) {
    const std::vector<unsigned char> all = ktest::AllByteValues();
    const std::string path = m_dir.File("all.bin", std::string(all.begin(), all.end()));
    HANDLE h = OpenImage(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD high = 0xDEAD;
    EXPECT_EQ(GetFileSize(h, &high), 256u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(GetFileSize(h, nullptr), 256u);
    std::vector<unsigned char> got;
    for (int i = 0; i < 256; ++i) {
        BYTE b = 0;
        DWORD n = 0;
        ASSERT_TRUE(ReadFile(h, &b, 1, &n, nullptr));
        ASSERT_EQ(n, 1u);
        got.push_back(b);
    }
    EXPECT_EQ(got, all);
    BYTE b = 0x55;
    DWORD n = 7;
    EXPECT_TRUE(ReadFile(h, &b, 1, &n, nullptr));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ImageFile, EmptyFileHasSizeZero) {
    HANDLE h = OpenImage(m_dir.File("empty.bin", ""));
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ImageFile, SizeAbove4GiBGivesLowPartAndHighPart) {
    const std::string path = m_dir.File("big.bin", "");
    ASSERT_EQ(::truncate(path.c_str(), 0x140000007LL), 0); // sparse: 5 GiB + 7
    HANDLE h = OpenImage(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD high = 0;
    EXPECT_EQ(GetFileSize(h, &high), 0x40000007u);
    EXPECT_EQ(high, 1u);
    EXPECT_EQ(GetFileSize(h, nullptr), 0x40000007u);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ImageFile, OpenedTwiceForReading) {
    const std::string path = m_dir.File("f.bin", "ab");
    HANDLE a = OpenImage(path);
    HANDLE b = OpenImage(path);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    EXPECT_NE(a, b);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
}

TEST_F(ImageFile, OpenForReadingCannotBeWritten) {
    HANDLE h = OpenImage(m_dir.File("f.bin", "ab"));
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const BYTE b = 1;
    DWORD n = 9;
    EXPECT_FALSE(WriteFile(h, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(CloseHandle(h));
}

// What names no regular file fails at once, before anything is read.
struct NoImageCase {
    const char* name;
    DWORD error;
};

class NoImage : public ImageFile, public ::testing::WithParamInterface<NoImageCase> {
protected:
    // Makes the thing to open; returns its path.
    std::string Make(const std::string& kind) {
        const std::string path = (m_dir.path() / kind).string();
        if (kind == "directory")
            ::mkdir(path.c_str(), 0700);
        else if (kind == "fifo")
            ::mkfifo(path.c_str(), 0600);
        else if (kind == "socket")
            MakeSocket(path);
        else if (kind == "device")
            return "/dev/null";
        else if (kind == "empty path")
            return "";
        return path; // "missing": nothing made
    }

    void MakeSocket(const std::string& path) {
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }

    void TearDown() override {
        if (m_socket >= 0)
            ::close(m_socket);
    }

    int m_socket = -1;
};

TEST_P(NoImage, FailsAtOnceWithTheSystemsError) {
    const NoImageCase& c = GetParam();
    const std::string path = Make(c.name);
    std::future<std::pair<HANDLE, DWORD>> opened = std::async(std::launch::async, [path] {
        HANDLE h = OpenImage(path);
        return std::make_pair(h, GetLastError());
    });
    if (opened.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        ADD_FAILURE() << "opening " << c.name << " hangs";
        // let a FIFO's open go on, so that the test can end
        int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
        opened.wait();
        ::close(fd);
    }
    const std::pair<HANDLE, DWORD> result = opened.get();
    EXPECT_EQ(result.first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(result.second, c.error);
    EXPECT_TRUE(ktest::SystemText(result.second).has_value());
    if (result.first != INVALID_HANDLE_VALUE)
        CloseHandle(result.first);
}

INSTANTIATE_TEST_SUITE_P(Table, NoImage,
                         ::testing::Values(NoImageCase{"missing", ENOENT},
                                           NoImageCase{"empty path", ENOENT},
                                           NoImageCase{"directory", EISDIR},
                                           NoImageCase{"fifo", ENXIO}, NoImageCase{"socket", ENXIO},
                                           NoImageCase{"device", ENXIO}),
                         [](const ::testing::TestParamInfo<NoImageCase>& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (ch == ' ')
                                     ch = '_';
                             return n;
                         });

TEST(FileOpen, NullPathFails) {
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOENT));
}

TEST(FileOpen, UnknownDispositionFails) {
    ktest::TempDir dir;
    const std::string path = dir.File("f.bin", "x");
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, 99, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
}

TEST(FileOpen, CreateAlwaysMakesAFileToWriteAndRead) {
    ktest::TempDir dir;
    const std::string path = (dir.path() / "new.bin").string();
    HANDLE w = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(w, "\x0A\x0D\x00", 3, &n, nullptr));
    EXPECT_EQ(n, 3u);
    ASSERT_TRUE(CloseHandle(w));
    HANDLE r = OpenImage(path);
    ASSERT_NE(r, INVALID_HANDLE_VALUE);
    char buf[8] = {};
    ASSERT_TRUE(ReadFile(r, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(std::string(buf, n), std::string("\x0A\x0D\x00", 3));
    EXPECT_TRUE(CloseHandle(r));
}

// NULL, INVALID_HANDLE_VALUE, a closed handle and a made-up one are no objects.
class NoObject : public ::testing::TestWithParam<const char*> {
protected:
    HANDLE Make() {
        const std::string kind = GetParam();
        if (kind == "null")
            return nullptr;
        if (kind == "invalid")
            return INVALID_HANDLE_VALUE;
        if (kind == "made-up")
            return &m_local;
        HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (kind == "closed")
            CloseHandle(h);
        else
            m_event = h; // "event": an object, but no file
        return h;
    }
    void TearDown() override {
        if (m_event)
            CloseHandle(m_event);
    }
    int m_local = 0;
    HANDLE m_event = nullptr;
};

TEST_P(NoObject, FileOperationsFailWithBadHandle) {
    HANDLE h = Make();
    BYTE b = 0;
    DWORD n = 5;
    EXPECT_FALSE(ReadFile(h, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_EQ(n, 0u);
    n = 5;
    EXPECT_FALSE(WriteFile(h, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    DCB dcb{};
    EXPECT_FALSE(GetCommState(h, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_FALSE(SetCommState(h, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
}

TEST_P(NoObject, CloseFailsWithBadHandleUnlessAnObject) {
    HANDLE h = Make();
    const bool object = std::string(GetParam()) == "event";
    EXPECT_EQ(CloseHandle(h), object ? TRUE : FALSE);
    if (object) {
        m_event = nullptr;
    } else {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NoObject,
                         ::testing::Values("null", "invalid", "closed", "made-up", "event"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string n = info.param;
                             return n == "made-up" ? std::string("made_up") : n;
                         });

TEST(Close, SecondCloseOfAFileFails) {
    ktest::TempDir dir;
    HANDLE h = OpenImage(dir.File("f.bin", "x"));
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
}

} // namespace
