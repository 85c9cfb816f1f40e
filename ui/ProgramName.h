// The application's default name, as each windowing binding finds it: the
// executable's file name without folder and extension; empty while unknown.
#pragma once

#include <string>

std::string UiProgramName();
