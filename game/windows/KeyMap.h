#pragma once

#include <Qt>

// The game's keys are the platform's virtual-key numbers, whatever the
// toolkit calls them.
namespace brickvane {

namespace vk {
inline constexpr int Enter = 13;
inline constexpr int Pause = 19;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int NumPad0 = 96;
inline constexpr int F1 = 112, F3 = 114, F4 = 115;
} // namespace vk

// The virtual-key number of a Qt key, or 0 for a key the game never uses.
// Digits with the keypad modifier are the numeric pad's (96 to 105).
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace brickvane
