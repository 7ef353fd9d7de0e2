#pragma once

#include <QLabel>
#include <QList>
#include <functional>

namespace regions {

// A label that answers a click, as the designed labels did. It also takes the
// keyboard focus (Enter or Space follows it) and tells a screen reader it is a
// link it can press; unfocused it looks exactly like the designed label.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed = false;
};

using RegionClick = std::function<void(const QString& region)>;

// Places the 33 labels in `frame` at their designed twips positions, in table
// order; a click hands over the label's region name.
QList<ClickLabel*> buildRegionLinks(QWidget* frame, const RegionClick& onClick);

} // namespace regions
