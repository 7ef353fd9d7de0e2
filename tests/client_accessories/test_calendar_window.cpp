#include "Calendar.h"
#include "Seams.h"
#include "Twips.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

constexpr int Patience = 10000;
const QLocale English(QLocale::English, QLocale::UnitedKingdom);
const QColor DayColour(0, 96, 64);
const QColor Red(255, 0, 0);

QColor background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}
QColor foreground(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}
bool bordered(const QLabel* l) {
    return l->frameShape() == QFrame::Box;
}

QString yearCaption(int year) {
    return QString(13, QLatin1Char(' ')) + QString::number(year) + QStringLiteral("年");
}

// Indexes of the cells drawn as today's.
QList<int> markedCells(const Calendar& c) {
    QList<int> marked;
    for (int i = 0; i < calendar::CellCount; ++i)
        if (foreground(c.Label3[i]) == Red || bordered(c.Label3[i]))
            marked << i;
    return marked;
}

} // namespace

class TestCalendarWindow : public QObject {
    Q_OBJECT

    QDate today;
    seams::Clock previousClock;

private slots:
    void init() {
        today = QDate(2024, 6, 2); // a Sunday; June 2024 starts on a Saturday
        previousClock = seams::setClock([this] { return QDateTime(today, QTime(9, 30)); });
    }
    void cleanup() { seams::setClock(previousClock); }

    void headingsAndDayCellsStandWhereDesigned_data() {
        QTest::addColumn<bool>("heading");
        QTest::addColumn<int>("item");
        QTest::addColumn<QRect>("twipsRect");
        // Sunday's heading is item 6 but stands first.
        const int headingLeft[] = {450, 855, 1260, 1665, 2070, 2475, 45};
        for (int i = 0; i < 7; ++i)
            QTest::addRow("Label1(%d)", i) << true << i << QRect(headingLeft[i], 855, 375, 285);
        const std::pair<int, QRect> cells[] = {
            {0, {45, 1170, 375, 285}},    {1, {450, 1170, 375, 285}}, {5, {2070, 1170, 375, 285}},
            {6, {2430, 1170, 375, 285}},  {7, {45, 1485, 375, 285}},  {13, {2475, 1485, 375, 285}},
            {34, {2475, 2430, 375, 285}}, {35, {45, 2745, 375, 285}}, {36, {450, 2745, 375, 285}}};
        for (const auto& [item, place] : cells)
            QTest::addRow("Label3(%d)", item) << false << item << place;
    }
    void headingsAndDayCellsStandWhereDesigned() {
        QFETCH(bool, heading);
        QFETCH(int, item);
        QFETCH(QRect, twipsRect);
        Calendar c(nullptr, English);
        const QLabel* label = heading ? c.Label1[item] : c.Label3[item];
        QCOMPARE(label->geometry(),
                 twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    }

    void looksAsDesigned() {
        Calendar c(nullptr, English);
        QCOMPARE(c.size(), twips::size(2910, 3030));
        QCOMPARE(c.minimumSize(), c.maximumSize());
        QVERIFY(!(c.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(background(&c), QColor(255, 192, 255));
        QCOMPARE(c.Label5->text(), QStringLiteral("月"));
        QCOMPARE(c.LabelYear->text(), QStringLiteral("年"));
        QCOMPARE(background(c.Label5), QColor(255, 192, 255));
        QCOMPARE(c.Command1->text(), QStringLiteral("今日"));
        QVERIFY(c.Command1->isDefault());
        for (QScrollBar* spin : {c.HScroll1, c.HScroll2}) {
            QCOMPARE(spin->minimum(), -1500);
            QCOMPARE(spin->maximum(), 1500);
            QCOMPARE(spin->value(), 0);
            QCOMPARE(spin->singleStep(), 1);
            QCOMPARE(spin->pageStep(), 1);
        }
        QCOMPARE(background(c.Label4), QColor(255, 255, 192));
        QCOMPARE(foreground(c.Label4), QColor(0, 0, 255));
        QVERIFY(bordered(c.Label4) && bordered(c.Label2));
        QVERIFY(c.Label2->font().bold());
        QCOMPARE(c.Label2->font().pointSizeF(), 8.25);
        QCOMPARE(c.Label2->font().family(), QStringLiteral("MS Sans Serif"));
        const QString headings[] = {"一", "二", "三", "四", "五", "六", "日"};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(c.Label1[i]->text(), headings[i]);
            QCOMPARE(background(c.Label1[i]), QColor(192, 0, 0));
            QCOMPARE(foreground(c.Label1[i]), QColor(128, 255, 128));
            QVERIFY(bordered(c.Label1[i]));
        }
        for (const QLabel* cell : c.Label3) {
            QCOMPARE(background(cell), QColor(255, 224, 192));
            QCOMPARE(cell->font().pointSizeF(), 9.75);
            QVERIFY(cell->font().bold());
            QVERIFY(!bordered(cell));
        }
    }

    void showingOpensOnTodaysMonth() {
        Calendar c(nullptr, English);
        c.HScroll1->setValue(-7);
        QCOMPARE(c.windowTitle(), yearCaption(2023));
        c.show();
        QTRY_COMPARE_WITH_TIMEOUT(c.HScroll1->value(), 0, Patience);
        QCOMPARE(c.windowTitle(), yearCaption(2024));
        QCOMPARE(c.ShownDate, today);
        QCOMPARE(c.MonthStart, QDate(2024, 6, 1));
        QCOMPARE(c.Label2->text(), QStringLiteral("六月"));
        QCOMPARE(c.Label4->text(), QStringLiteral("Sunday, 02 June 2024"));
        for (int i = 0; i < calendar::CellCount; ++i) {
            const bool shown = i >= 6 && i <= 35;
            QCOMPARE(c.Label3[i]->isVisibleTo(&c), shown);
            QCOMPARE(c.Label3[i]->text(), shown ? QString::number(i - 5) : QString());
        }
        QCOMPARE(markedCells(c), QList<int>{7});
        QCOMPARE(foreground(c.Label3[7]), Red);
        QCOMPARE(foreground(c.Label3[8]), DayColour);
    }

    void spinsMoveByMonthsAndYears() {
        Calendar c(nullptr, English);
        c.show();
        QTRY_COMPARE_WITH_TIMEOUT(c.Label2->text(), QStringLiteral("六月"), Patience);

        c.HScroll1->setValue(-6); // back across the new year
        QCOMPARE(c.ShownDate, QDate(2023, 12, 2));
        QCOMPARE(c.windowTitle(), yearCaption(2023));
        QCOMPARE(c.Label2->text(), QStringLiteral("十二月"));
        QCOMPARE(c.Label4->text(), QStringLiteral("Sunday, 02 June 2024")); // kept
        QVERIFY(markedCells(c).isEmpty());

        c.HScroll2->setValue(2);
        QCOMPARE(c.ShownDate, QDate(2025, 12, 2));
        QCOMPARE(c.windowTitle(), yearCaption(2025));

        c.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(c.HScroll1->value(), -5);
        QCOMPARE(c.ShownDate, QDate(2026, 1, 2));
        QCOMPARE(c.Label2->text(), QStringLiteral("一月"));
    }

    void pagingAwayAndBackMarksOnlyTheShownCell() {
        Calendar c(nullptr, English);
        c.show();
        QTRY_COMPARE_WITH_TIMEOUT(markedCells(c), QList<int>{7}, Patience);

        // September starts on a Sunday: cell 1 holds a 2, before June's first column.
        c.HScroll1->setValue(3);
        QCOMPARE(c.Label3[1]->text(), QStringLiteral("2"));
        QTest::mouseClick(c.Command1, Qt::LeftButton);

        QCOMPARE(c.HScroll1->value(), 0);
        QCOMPARE(c.ShownDate, today);
        QCOMPARE(markedCells(c), QList<int>{7});
        QVERIFY(c.Label3[7]->isVisibleTo(&c));
        QCOMPARE(c.Label3[1]->text(), QString());
        QVERIFY(!c.Label3[1]->isVisibleTo(&c));
        QCOMPARE(foreground(c.Label3[1]), DayColour);
    }

    void todayButtonResetsBothSpins() {
        Calendar c(nullptr, English);
        c.show();
        QTRY_COMPARE_WITH_TIMEOUT(c.Label2->text(), QStringLiteral("六月"), Patience);
        c.HScroll1->setValue(-1500);
        c.HScroll2->setValue(-1500);
        QCOMPARE(c.ShownDate, QDate(399, 6, 2));
        QCOMPARE(c.windowTitle(), QString(13, QLatin1Char(' ')) + QStringLiteral("0399年"));
        QTest::keyClick(&c, Qt::Key_Return); // the default button
        QCOMPARE(c.HScroll1->value(), 0);
        QCOMPARE(c.HScroll2->value(), 0);
        QCOMPARE(c.windowTitle(), yearCaption(2024));
        QCOMPARE(markedCells(c), QList<int>{7});
    }

    void everyShowingStartsOverButRefocusingDoesNot() {
        Calendar c(nullptr, English);
        QWidget other;
        c.show();
        QTRY_COMPARE_WITH_TIMEOUT(c.Label2->text(), QStringLiteral("六月"), Patience);
        c.HScroll1->setValue(2);

        other.show();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), Patience);
        c.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(c.isActiveWindow(), Patience);
        QCOMPARE(c.HScroll1->value(), 2);

        c.hide();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), Patience);
        today = QDate(2024, 6, 3); // the next day
        c.show();
        c.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(c.HScroll1->value(), 0, Patience);
        QCOMPARE(c.ShownDate, today);
        QCOMPARE(markedCells(c), QList<int>{8});
    }

    void showCalendarIsModalUntilClosed() {
        QString captionSeen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* c = qobject_cast<Calendar*>(QApplication::activeModalWidget())) {
                if (c->ShownDate.isValid()) {
                    captionSeen = c->windowTitle();
                    c->close();
                }
            }
        });
        closer.start(50);
        QTimer::singleShot(Patience, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->hide();
        });
        showCalendar(nullptr);
        QCOMPARE(captionSeen, yearCaption(2024));
    }
};

QTEST_MAIN(TestCalendarWindow)
#include "test_calendar_window.moc"
