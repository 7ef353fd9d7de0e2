#pragma once

#include "Engine.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QWidget>
#include <initializer_list>
#include <utility>

// Fonts and colours shared by the game's windows.
namespace brickvane::look {

// "宋体" where it is installed, else the nearest CJK face.
inline QFont SongTi(double points = 9, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// 0x00BBGGRR, the engine's form, to a QColor.
inline QColor ToQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

// A plain background, painted by the widget itself.
inline void SetBackColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

inline QColor BackColour(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

// Gives each control its designed name, so a screen can be read back by name.
inline void NameControls(std::initializer_list<std::pair<QObject*, const char*>> controls) {
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1String(name));
}

} // namespace brickvane::look
