// How the binding divides a CString's bytes into characters of the platform's
// multi-byte encoding: the searches and trims of CString never split a character.
// Each platform gives its own (with MakeUpper and MakeLower beside it).
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>

// Length in bytes of the character at pos, at least 1 and never past the end. state
// carries a stateful encoding's shift state from one call to the next along a string.
size_t CharLengthAt(const std::string& s, size_t pos, std::mbstate_t& state);
