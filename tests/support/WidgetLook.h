#pragma once

#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QWidget>

// What a control's look owes to the program rather than to the desktop: its
// text colour and background where they are set, its typeface and point size
// where the control or its window sets them (a text fitted to its box has no
// point size), and whether it is bold.
inline QString lookOf(const QWidget* w) {
    const QPalette& p = w->palette();
    const QFont& f = w->font();
    QStringList look;
    if (p.isBrushSet(QPalette::Active, QPalette::WindowText))
        look << "text " + p.color(QPalette::WindowText).name();
    if (w->autoFillBackground())
        look << "on " + p.color(QPalette::Window).name();
    if (f.resolveMask() & (QFont::FamilyResolved | QFont::FamiliesResolved))
        look << f.family();
    if ((f.resolveMask() & QFont::SizeResolved) && f.pointSizeF() > 0)
        look << QString::number(f.pointSizeF()) + "pt";
    if (f.bold())
        look << "bold";
    return look.join(' ');
}
