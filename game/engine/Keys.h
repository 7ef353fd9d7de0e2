#pragma once

#include <array>
#include <string_view>

// The key list of the settings window: every key box offers these 52 entries,
// each standing for one virtual-key code.
namespace brickvane {

inline constexpr int KeyListSize = 52;

inline constexpr std::array<std::string_view, KeyListSize> KeyList = {
    "A",       "B",       "C",       "D",       "E",       "F",       "G",       "H",
    "I",       "J",       "K",       "L",       "M",       "N",       "O",       "P",
    "Q",       "R",       "S",       "T",       "U",       "V",       "W",       "X",
    "Y",       "Z",       "0",       "1",       "2",       "3",       "4",       "5",
    "6",       "7",       "8",       "9",       "Left",    "Up",      "Right",   "Down",
    "Space",   "Enter",   "NumPad0", "NumPad1", "NumPad2", "NumPad3", "NumPad4", "NumPad5",
    "NumPad6", "NumPad7", "NumPad8", "NumPad9"};

// The five key boxes of the settings window, in their order.
inline constexpr int KeyBoxCount = 5;
using KeyBoxSelection = std::array<int, KeyBoxCount>;

// Key code of list position `listPosition`; -1 for a position outside the list.
int ListIndexToKeyCode(int listPosition);

// List position of `keyCode`; -1 for a code the list does not offer (a list
// box takes -1 as "nothing selected").
int KeyCodeToListIndex(int keyCode);

// True when the boxes for left, right, drop and rotate (0 to 3) select
// pairwise different entries. Box 4, one row down, may repeat any of them.
bool KeysAreDistinct(const KeyBoxSelection& selected);

} // namespace brickvane
