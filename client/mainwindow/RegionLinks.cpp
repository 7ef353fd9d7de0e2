#include "RegionLinks.h"

#include "RegionTable.h"
#include "Twips.h"

#include <QMouseEvent>

namespace regions {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press dragged off the label and released elsewhere is no click.
    const bool click = pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

QList<ClickLabel*> buildRegionLinks(QWidget* frame, const RegionClick& onClick) {
    QList<ClickLabel*> labels;
    for (const Link& link : links()) {
        auto* label = new ClickLabel(link.caption.toString(), frame);
        label->setObjectName(link.control.toString());
        label->setGeometry(twips::rect(link.left, link.top, link.width, LabelHeight));
        label->setCursor(Qt::PointingHandCursor);
        const QString region = link.region.toString();
        QObject::connect(label, &ClickLabel::clicked, frame,
                         [onClick, region] { onClick(region); });
        labels.append(label);
    }
    return labels;
}

} // namespace regions
