#pragma once

#include <windows.h>

#include <chrono>
#include <string_view>

namespace zelvo::cli {

// Writes bytes to handle, waiting at most patience for a pipe that nobody reads to take them;
// whether all were written. Consoles and files take them at once.
bool writeWithin(HANDLE handle, std::string_view bytes, std::chrono::milliseconds patience);

}  // namespace zelvo::cli
