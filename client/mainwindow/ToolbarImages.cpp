#include "ToolbarBuilder.h"

#include "ToolbarTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

// The toolbar's images, drawn on a 25 x 25 grid so they stay sharp at any
// scale and need no files beside the program.
namespace toolbar {
namespace {

const QColor Ink(40, 60, 110);
const QColor Paper(250, 250, 240);
const QColor Green(30, 150, 60);
const QColor Red(200, 40, 40);
const QColor Gold(230, 170, 30);
const QColor Sky(70, 140, 220);

void arrow(QPainter& p, bool right) {
    QPainterPath path;
    const qreal d = right ? 1 : -1;
    const qreal x0 = right ? 3 : 22;
    path.moveTo(x0, 9);
    path.lineTo(x0 + d * 10, 9);
    path.lineTo(x0 + d * 10, 4);
    path.lineTo(x0 + d * 19, 12.5);
    path.lineTo(x0 + d * 10, 21);
    path.lineTo(x0 + d * 10, 16);
    path.lineTo(x0, 16);
    path.closeSubpath();
    p.setBrush(Green);
    p.drawPath(path);
}

void sheet(QPainter& p) {
    p.setBrush(Paper);
    p.drawRect(QRectF(5, 2, 15, 21));
    for (int y = 7; y <= 17; y += 4)
        p.drawLine(QPointF(8, y), QPointF(17, y));
}

void person(QPainter& p, qreal x, const QColor& coat) {
    p.setBrush(QColor(245, 205, 160));
    p.drawEllipse(QRectF(x - 3.5, 3, 7, 7));
    p.setBrush(coat);
    p.drawRoundedRect(QRectF(x - 6, 11, 12, 11), 4, 4);
}

void draw(QPainter& p, int image) {
    p.setPen(QPen(Ink, 1.2));
    switch (image) {
    case 1: // login: a person with a key
        person(p, 10, Sky);
        p.setBrush(Gold);
        p.drawEllipse(QRectF(15, 13, 6, 6));
        p.drawRect(QRectF(19, 18, 3, 5));
        break;
    case 2: // conversation: two speech bubbles
        p.setBrush(Sky);
        p.drawRoundedRect(QRectF(2, 3, 14, 10), 3, 3);
        p.setBrush(Gold);
        p.drawRoundedRect(QRectF(9, 11, 14, 10), 3, 3);
        p.drawLine(QPointF(18, 21), QPointF(20, 24));
        break;
    case 3: // card book
        p.setBrush(QColor(180, 90, 60));
        p.drawRect(QRectF(4, 2, 17, 21));
        p.setBrush(Paper);
        p.drawRect(QRectF(8, 6, 10, 6));
        for (int y = 5; y <= 20; y += 5)
            p.drawLine(QPointF(2, y), QPointF(6, y));
        break;
    case 4: // coach
        p.setBrush(Gold);
        p.drawRoundedRect(QRectF(2, 5, 21, 13), 2, 2);
        p.setBrush(Sky);
        for (int x = 4; x <= 16; x += 6)
            p.drawRect(QRectF(x, 7, 4, 4));
        p.setBrush(Ink);
        p.drawEllipse(QRectF(5, 16, 5, 5));
        p.drawEllipse(QRectF(15, 16, 5, 5));
        break;
    case 5: // calendar page
        p.setBrush(Paper);
        p.drawRect(QRectF(3, 4, 19, 18));
        p.setBrush(Red);
        p.drawRect(QRectF(3, 4, 19, 5));
        for (int y = 12; y <= 18; y += 3)
            for (int x = 6; x <= 18; x += 4)
                p.drawPoint(QPointF(x, y));
        break;
    case 6: // panels: main area, right column, bottom strip
        p.setBrush(Paper);
        p.drawRect(QRectF(2, 3, 21, 19));
        p.setBrush(Sky);
        p.drawRect(QRectF(16, 3, 7, 13));
        p.setBrush(Gold);
        p.drawRect(QRectF(2, 16, 21, 6));
        break;
    case 7: // forward
        arrow(p, true);
        break;
    case 8: // free seat
        p.setBrush(Sky);
        p.drawRoundedRect(QRectF(6, 3, 12, 11), 2, 2);
        p.drawRect(QRectF(4, 13, 17, 4));
        p.drawLine(QPointF(6, 17), QPointF(6, 23));
        p.drawLine(QPointF(19, 17), QPointF(19, 23));
        break;
    case 9: // guide's flag
        p.drawLine(QPointF(6, 2), QPointF(6, 23));
        p.setBrush(Red);
        p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(21, 7), QPointF(6, 12)}));
        break;
    case 10: // hotel
        p.setBrush(QColor(200, 200, 215));
        p.drawRect(QRectF(5, 3, 15, 20));
        p.setBrush(Gold);
        for (int y = 6; y <= 14; y += 4)
            for (int x = 8; x <= 14; x += 6)
                p.drawRect(QRectF(x, y, 3, 2));
        p.setBrush(Ink);
        p.drawRect(QRectF(11, 18, 3, 5));
        break;
    case 11: // quotation sheet with a route
        sheet(p);
        p.setPen(QPen(Red, 1.6));
        p.drawPolyline(
            QPolygonF({QPointF(7, 20), QPointF(11, 14), QPointF(14, 18), QPointF(19, 10)}));
        break;
    case 12: // order clipboard with a tick
        sheet(p);
        p.setBrush(Gold);
        p.drawRect(QRectF(9, 1, 7, 3));
        p.setPen(QPen(Green, 2));
        p.drawPolyline(QPolygonF({QPointF(8, 15), QPointF(11, 19), QPointF(18, 10)}));
        break;
    case 13: // in the image list, used by no button
        p.setBrush(Gold);
        p.drawEllipse(QRectF(6, 6, 13, 13));
        break;
    case 14: // refresh
        p.setPen(QPen(Green, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 17, 17), 60 * 16, 290 * 16);
        p.setPen(QPen(Ink, 1));
        p.setBrush(Green);
        p.drawPolygon(QPolygonF({QPointF(15, 1), QPointF(21, 6), QPointF(14, 9)}));
        break;
    case 15: // travel agency: a map pin
        p.setBrush(Red);
        p.drawPolygon(QPolygonF({QPointF(6, 11), QPointF(12.5, 23), QPointF(19, 11)}));
        p.drawEllipse(QRectF(5.5, 2, 14, 14));
        p.setBrush(Paper);
        p.drawEllipse(QRectF(10, 6, 5, 5));
        break;
    case 16: // back
        arrow(p, false);
        break;
    case 17: // web site: a globe
        p.setBrush(Sky);
        p.drawEllipse(QRectF(3, 3, 19, 19));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(8, 3, 9, 19));
        p.drawLine(QPointF(3, 12.5), QPointF(22, 12.5));
        break;
    case 18: // office: a briefcase
        p.setBrush(QColor(150, 100, 50));
        p.drawRoundedRect(QRectF(2, 8, 21, 14), 2, 2);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(9, 4, 7, 4));
        p.drawLine(QPointF(2, 14), QPointF(23, 14));
        break;
    case 19: // log-off: a power sign
        p.setPen(QPen(Red, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 5, 17, 17), 120 * 16, 300 * 16);
        p.drawLine(QPointF(12.5, 2), QPointF(12.5, 12));
        break;
    default:
        break;
    }
}

QPixmap render(int image, int scale) {
    QPixmap pixmap(ImageSize * scale, ImageSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p, image);
    return pixmap;
}

} // namespace

QIcon toolbarImage(int image) {
    QIcon icon;
    if (image < 1 || image > ImageCount)
        return icon;
    icon.addPixmap(render(image, 1));
    icon.addPixmap(render(image, 2));
    return icon;
}

} // namespace toolbar
