#include "RegionLinks.h"

#include "RegionTable.h"
#include "Twips.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace regions {
namespace {

// What a screen reader sees: a link named by its region (the caption without
// the blank one of them starts with), which its press action follows.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<const ClickLabel*>(widget())->text().trimmed();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            emit static_cast<ClickLabel*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* linkFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("regions::ClickLabel"))
        return new LinkAccessible(static_cast<ClickLabel*>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    static const bool installed = (QAccessible::installFactory(linkFactory), true);
    Q_UNUSED(installed);
    setFocusPolicy(Qt::TabFocus);
}

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

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    // Only the keyboard user's place is marked; a label clicked looks as before.
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
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
