#pragma once

// Both programs place their windows themselves (centred, fixed-size dialogs,
// keep-on-top), which a Wayland compositor does not let a client do. Under a
// Wayland session they run through XWayland, unless the user chose a platform
// with QT_QPA_PLATFORM (or there is no X server to reach).
namespace desktopsession {

// Call before the application object is made.
void preferX11UnderWayland();

} // namespace desktopsession
