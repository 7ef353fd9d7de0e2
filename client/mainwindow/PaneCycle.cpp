#include "PaneCycle.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

PaneCycle::PaneCycle(QWidget* window, QList<Part> parts)
    : QObject(window), m_parts(std::move(parts)) {
    const auto bind = [this, window](const QKeySequence& keys, void (PaneCycle::*move)()) {
        auto* shortcut = new QShortcut(keys, window);
        // Pages would keep them otherwise, and they must work from any part.
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, move);
    };
    bind(QKeySequence(Qt::Key_F6), &PaneCycle::next);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Tab), &PaneCycle::next);
    bind(QKeySequence(Qt::SHIFT | Qt::Key_F6), &PaneCycle::previous);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), &PaneCycle::previous);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Backtab), &PaneCycle::previous);
}

void PaneCycle::next() {
    step(1);
}

void PaneCycle::previous() {
    step(-1);
}

qsizetype PaneCycle::currentPart() const {
    const QWidget* focus = QApplication::focusWidget();
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        const QWidget* area = m_parts[i].area;
        if (focus && area && (focus == area || area->isAncestorOf(focus)))
            return i;
        if (focus && focus == m_parts[i].also)
            return i;
    }
    return -1;
}

void PaneCycle::step(int by) {
    const qsizetype count = m_parts.size();
    qsizetype i = currentPart();
    // From outside every part, F6 goes to the first one and Shift+F6 to the last.
    if (i < 0)
        i = by > 0 ? count - 1 : 0;
    for (qsizetype tried = 0; tried < count; ++tried) {
        i = (i + by + count) % count;
        const Part& part = m_parts[i];
        if (part.area && part.entry && part.area->isVisible() && part.entry->isEnabled()) {
            part.entry->setFocus(by > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void chainTabOrder(const QList<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (!w)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}
