// The thread's last error and the system's texts.
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <tuple>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"

namespace {

constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER;

struct TextCase {
    DWORD code;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << "code " << c.code;
}

class SystemTextEnglish : public ::testing::TestWithParam<TextCase> {
protected:
    ktest::ScopedLocale m_locale{"C"};
};

TEST_P(SystemTextEnglish, AllocatedAsTheSystemGivesIt) {
    const TextCase& c = GetParam();
    SetLastError(ERROR_SUCCESS);
    LPSTR p = nullptr;
    const DWORD n =
        FormatMessageA(kFlags, nullptr, c.code, 0x0400, reinterpret_cast<LPSTR>(&p), 0, nullptr);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, c.text); // no line break added
    EXPECT_EQ(n, std::strlen(c.text));
    EXPECT_EQ(LocalFree(p), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, SystemTextEnglish,
                         ::testing::Values(TextCase{ENOENT, "No such file or directory"},
                                           TextCase{EBUSY, "Device or resource busy"},
                                           TextCase{EIO, "Input/output error"},
                                           TextCase{ENOTTY, "Inappropriate ioctl for device"},
                                           TextCase{EACCES, "Permission denied"}));

// The system's texts come in the locale's character set; the program's texts are UTF-8,
// so a Latin-1 German locale gives the same bytes as a UTF-8 one.
class SystemTextGerman : public ::testing::TestWithParam<std::tuple<const char*, TextCase>> {};

TEST_P(SystemTextGerman, InTheUsersLocaleAsUtf8) {
    const char* locale = std::get<0>(GetParam());
    const TextCase& c = std::get<1>(GetParam());
    ktest::ScopedLocale scoped(locale);
    ASSERT_TRUE(scoped.ok()) << locale << " is not generated (scripts/setup does it)";
    EXPECT_EQ(ktest::SystemText(c.code), std::string(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SystemTextGerman,
    ::testing::Combine(
        ::testing::Values("de_DE.UTF-8", "de_DE.ISO-8859-1"),
        ::testing::Values(TextCase{ENOENT, "Datei oder Verzeichnis nicht gefunden"},
                          TextCase{EBUSY, "Das Ger\xC3\xA4t oder die Ressource ist belegt"},
                          TextCase{EIO, "Eingabe-/Ausgabefehler"},
                          TextCase{EACCES, "Keine Berechtigung"},
                          TextCase{ERROR_HANDLE_EOF, "Die Datei endet vor dem erwarteten Ende."})));

// A file that ends before its expected end is no input/output error: the binding's own
// code has a text that says what happened, in every locale.
TEST(SystemTextOwn, EarlyEndOfFileInEveryLocale) {
    for (const char* locale : {"C", "C.UTF-8", "de_DE.UTF-8", "de_DE.ISO-8859-1"}) {
        ktest::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale;
        EXPECT_EQ(ktest::SystemText(ERROR_HANDLE_EOF), "Die Datei endet vor dem erwarteten Ende.")
            << locale;
    }
}

class SystemTextUnknown : public ::testing::TestWithParam<DWORD> {};

TEST_P(SystemTextUnknown, NoTextNoBufferAndAnError) {
    const DWORD code = GetParam();
    SetLastError(ERROR_SUCCESS);
    char sentinel = 0;
    LPSTR p = &sentinel;
    EXPECT_EQ(
        FormatMessageA(kFlags, nullptr, code, 0x0400, reinterpret_cast<LPSTR>(&p), 0, nullptr), 0u);
    EXPECT_EQ(p, nullptr);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_NE(GetLastError(), code);
}

INSTANTIATE_TEST_SUITE_P(Table, SystemTextUnknown,
                         ::testing::Values(DWORD{9999}, DWORD{0x7FFFFFFF}, DWORD{0x80000000},
                                           DWORD{0xFFFFFFFF}));

TEST(SystemText, IntoTheCallersBufferWhenItIsLargeEnough) {
    ktest::ScopedLocale c("C");
    char buf[64];
    EXPECT_EQ(
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, EIO, 0x0400, buf, sizeof buf, nullptr),
        std::strlen("Input/output error"));
    EXPECT_STREQ(buf, "Input/output error");
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, EIO, 0x0400, buf, 5, nullptr),
              0u);
}

TEST(SystemText, OnlyTheSystemsOwnTexts) {
    LPSTR p = nullptr;
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER, "text", EIO, 0x0400,
                             reinterpret_cast<LPSTR>(&p), 0, nullptr),
              0u);
    EXPECT_EQ(p, nullptr);
}

TEST(LastError, PerThread) {
    SetLastError(EBUSY);
    DWORD seenInThread = 0;
    DWORD initialInThread = 1;
    std::thread t([&] {
        initialInThread = GetLastError();
        SetLastError(EIO);
        seenInThread = GetLastError();
    });
    t.join();
    EXPECT_EQ(initialInThread, ERROR_SUCCESS);
    EXPECT_EQ(seenInThread, static_cast<DWORD>(EIO));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBUSY));
}

TEST(LocalFreeOfNothing, IsHarmless) {
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

// A failed open of a port names the device the port name stood for.
class PortOpenFailureText : public ::testing::Test {
protected:
    ktest::ScopedLocale m_locale{"C"};
    ktest::ScopedEnv m_env{"KORVANTO_COM3", "/nonexistent/korvanto-tty"};

    void FailToOpen() {
        ASSERT_EQ(CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr),
                  INVALID_HANDLE_VALUE);
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ENOENT));
    }
};

TEST_F(PortOpenFailureText, NamesTheDevicePath) {
    FailToOpen();
    EXPECT_EQ(ktest::SystemText(GetLastError()),
              std::string("No such file or directory (/nonexistent/korvanto-tty)"));
}

TEST_F(PortOpenFailureText, PathIsDroppedByTheNextFailure) {
    FailToOpen();
    EXPECT_EQ(
        CreateFileA("/nonexistent/image.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(ktest::SystemText(ENOENT), std::string("No such file or directory"));
}

TEST_F(PortOpenFailureText, PathIsDroppedBySetLastError) {
    FailToOpen();
    SetLastError(ENOENT);
    EXPECT_EQ(ktest::SystemText(ENOENT), std::string("No such file or directory"));
}

TEST_F(PortOpenFailureText, PathBelongsToTheFailingCodeAndThread) {
    FailToOpen();
    EXPECT_EQ(ktest::SystemText(EIO), std::string("Input/output error"));
    std::optional<std::string> inOtherThread;
    std::thread t([&] { inOtherThread = ktest::SystemText(ENOENT); });
    t.join();
    EXPECT_EQ(inOtherThread, std::string("No such file or directory"));
    // still there for the thread that failed
    EXPECT_EQ(ktest::SystemText(ENOENT),
              std::string("No such file or directory (/nonexistent/korvanto-tty)"));
}

TEST_F(PortOpenFailureText, GermanWithThePath) {
    ktest::ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok());
    FailToOpen();
    EXPECT_EQ(ktest::SystemText(GetLastError()),
              std::string("Datei oder Verzeichnis nicht gefunden (/nonexistent/korvanto-tty)"));
}

} // namespace
