#pragma once

// What both programs need from the desktop session, set up before the
// application object is made:
// - They place their windows themselves (centred, fixed-size dialogs,
//   keep-on-top), which a Wayland compositor does not let a client do. Under a
//   Wayland session they run through XWayland, unless the user chose a
//   platform with QT_QPA_PLATFORM (or there is no X server to reach).
// - GNOME's platform theme loads GTK, whose own accessibility bridge would
//   register a second, empty application of the same name beside Qt's, and
//   whose GDK would load the OpenGL driver. Both are kept off while the
//   application object loads the theme, and only then: programs started from
//   ours keep their own.
// - Their texts are Chinese whatever the locale, so fontconfig is told to
//   prefer Chinese faces for Han text, for them alone, in the same way.
namespace desktopsession {

void prepare();         // before the application object is made
void applicationMade(); // just after

} // namespace desktopsession
