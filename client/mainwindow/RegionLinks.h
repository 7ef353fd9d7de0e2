#pragma once

#include <QLabel>
#include <QList>
#include <functional>

namespace regions {

// A label that answers a click, as the designed labels did.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed = false;
};

using RegionClick = std::function<void(const QString& region)>;

// Places the 33 labels in `frame` at their designed twips positions, in table
// order; a click hands over the label's region name.
QList<ClickLabel*> buildRegionLinks(QWidget* frame, const RegionClick& onClick);

} // namespace regions
