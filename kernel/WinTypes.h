// Basic types, values and flags of the operating-system interface the program is
// written against. Nothing here exposes a POSIX type.
#pragma once

#ifdef _WIN32
// On Windows the system's own types, values and flags (the build defines
// WIN32_LEAN_AND_MEAN and NOMINMAX). Error codes are the system's.
#include <windows.h>
#else
#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdint>

typedef int BOOL;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef std::int32_t LONG;
typedef char CHAR;

typedef void* HANDLE;
typedef void* HLOCAL;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;

typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

// The value a failed open returns; never a valid handle.
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Access rights, share modes, dispositions.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001u;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002u;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Waits.
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Error texts.
constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100u;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200u;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000u;
constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD SUBLANG_DEFAULT = 0x01;
constexpr WORD MAKELANGID(WORD primary, WORD sub) {
    return static_cast<WORD>((sub << 10) | primary);
}

constexpr WORD LOWORD(DWORD v) {
    return static_cast<WORD>(v & 0xFFFFu);
}
constexpr WORD HIWORD(DWORD v) {
    return static_cast<WORD>((v >> 16) & 0xFFFFu);
}

// Error codes are the system's errno values; 0 is success.
constexpr DWORD ERROR_SUCCESS = 0;
// What a caller sets when a read ends before the end it expected (the system itself
// saw no fault, so it left no code of its own). A code of the binding's own, above
// every errno value, with a text of its own.
constexpr DWORD ERROR_HANDLE_EOF = 0x20000026u;
#endif // _WIN32
