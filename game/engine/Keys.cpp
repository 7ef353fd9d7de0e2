#include "Keys.h"

namespace brickvane {

int ListIndexToKeyCode(int listPosition) {
    const int i = listPosition;
    if (i < 0 || i >= KeyListSize)
        return -1;
    if (i <= 25)
        return i + 65; // "A".."Z"
    if (i <= 35)
        return i + 22; // "0".."9"
    if (i <= 39)
        return i + 1; // the arrows
    if (i == 40)
        return 32;
    if (i == 41)
        return 13;
    return i + 54; // the numeric pad
}

int KeyCodeToListIndex(int keyCode) {
    const int code = keyCode;
    if (code >= 65 && code <= 90)
        return code - 65;
    if (code >= 48 && code <= 57)
        return code - 22;
    if (code >= 37 && code <= 40)
        return code - 1;
    if (code == 32)
        return 40;
    if (code == 13)
        return 41;
    if (code >= 96 && code <= 105)
        return code - 54;
    return -1;
}

bool KeysAreDistinct(const KeyBoxSelection& selected) {
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            if (selected[std::size_t(a)] == selected[std::size_t(b)])
                return false;
    return true;
}

} // namespace brickvane
