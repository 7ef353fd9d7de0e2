#pragma once

#include <QList>
#include <QObject>

class QWidget;

// F6 and Ctrl+Tab move the keyboard to the next part of the window, Shift+F6
// and Ctrl+Shift+Tab to the one before, as in a browser: a web page keeps Tab
// for its own links, so these keys are the way out of it. Parts that are
// hidden are passed over.
class PaneCycle : public QObject {
    Q_OBJECT
public:
    struct Part {
        QWidget* area;           // holds the focus while the part is the current one
        QWidget* entry;          // takes the focus when the part is entered
        QWidget* also = nullptr; // a control of the part that stands outside `area`
    };

    PaneCycle(QWidget* window, QList<Part> parts);

    void next();
    void previous();

private:
    void step(int by);
    qsizetype currentPart() const;

    QList<Part> m_parts;
};

// Chains the widgets' Tab order as listed; null entries are skipped.
void chainTabOrder(const QList<QWidget*>& widgets);
