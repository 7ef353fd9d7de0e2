#include "Topmost.h"

#include <windows.h>

namespace topmost {

bool setTopmost(std::uintptr_t window, bool on) {
    // HWND_TOPMOST is -1 and HWND_NOTOPMOST -2; SWP_NOSIZE | SWP_NOMOVE is 3.
    return SetWindowPos(reinterpret_cast<HWND>(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                        0, SWP_NOSIZE | SWP_NOMOVE) != FALSE;
}

} // namespace topmost
