#pragma once

#include <cstdint>

// Keeps a top-level window above all normal windows, or returns it to the
// normal order, leaving its position and size alone. `window` is the native
// window id (an HWND on Windows). False when the platform refused.
namespace topmost {

bool setTopmost(std::uintptr_t window, bool on);

} // namespace topmost
