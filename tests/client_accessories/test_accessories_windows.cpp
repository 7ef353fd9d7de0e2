// The calendar and about windows over a fixed clock and scripted seams.

#include "AboutWindow.h"
#include "CalendarWindow.h"
#include "FakeRegistry.h"
#include "Portal.h"
#include "Seams.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

constexpr int Patience = 10000;

// The caption, month and today's date; the first and last cells shown, which
// count the days up from 1; and the cells drawn as today's: not in the day
// colour, or framed.
QString shown(const CalendarWindow& c) {
    QList<int> days, marked;
    for (int i = 0; i < calendar::CellCount; ++i) {
        const QLabel* cell = c.Label3[i];
        if (cell->isVisibleTo(&c) || !cell->text().isEmpty())
            days << (cell->text() == QString::number(i - days.value(0, i) + 1) ? i : -1);
        if (cell->palette().color(QPalette::WindowText) != QColor(0, 96, 64) ||
            cell->frameShape() == QFrame::Box)
            marked << i;
    }
    return QStringList{c.windowTitle(), c.Label2->text(), c.Label4->text()}.join('|') +
           QStringLiteral("|%1-%2|").arg(days.value(0)).arg(days.contains(-1) ? -1 : days.last()) +
           (marked.isEmpty() ? "" : QString::number(marked.first())) +
           (marked.size() > 1 ? "..." : "");
}

class TestAccessoriesWindows : public QObject {
    Q_OBJECT

    QDate today{2024, 6, 2}; // a Sunday; June 2024 starts on a Saturday
    QStringList log;         // mail, pages, messages and programs started
    bool starterSucceeds = true;
    const AboutActions actions{[this](const QString& a) { log << "mail " + a; },
                               [this](const QString& a) { log << "open " + a; }};

    void activate(QWidget* w) {
        w->show();
        w->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(w->isActiveWindow(), Patience);
    }

private slots:
    void initTestCase() {
        seams::setClock([this] { return QDateTime(today, QTime(9, 30)); });
        seams::setMessageHandler([this](const seams::Message& m) {
            log << "message " + m.text;
            return seams::Answer::Ok;
        });
        seams::setProgramStarter([this](const QString& program, const QStringList&) {
            log << "start " + program;
            return starterSucceeds;
        });
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
    }

    void theCalendarOpensOnTodaysMonthPagesAndComesBack() {
        const QString year = "             %1年|";
        CalendarWindow c(nullptr, QLocale(QLocale::English));
        activate(&c);
        QCOMPARE(shown(c), year.arg(2024) + "六月|Sunday, 02 June 2024|6-35|7");
        c.HScroll1->setValue(-6); // back across the new year
        QCOMPARE(shown(c), year.arg(2023) + "十二月|Sunday, 02 June 2024|5-35|");
        // Paging away and back marks only the shown cell; September starts on a Sunday.
        c.HScroll1->setValue(3);
        QCOMPARE(shown(c), year.arg(2024) + "九月|Sunday, 02 June 2024|0-29|");
        c.HScroll2->setValue(-1500);
        QCOMPARE(c.ShownDate, QDate(524, 9, 2));
        QTest::keyClick(&c, Qt::Key_Return); // 今日, the default button
        QVERIFY(c.HScroll1->value() == 0 && c.HScroll2->value() == 0);
        QCOMPARE(shown(c), year.arg(2024) + "六月|Sunday, 02 June 2024|6-35|7");

        // Coming back from another window keeps the month; a new showing starts on today's.
        QWidget other;
        c.HScroll1->setValue(2);
        activate(&other);
        activate(&c);
        QCOMPARE(c.HScroll1->value(), 2);
        c.hide();
        today = today.addDays(1);
        activate(&other);
        activate(&c);
        QCOMPARE(shown(c), year.arg(2024) + "六月|Monday, 03 June 2024|6-35|8");
    }

    void theAboutWindowShowsItsTextsLinksAndIcon() {
        AboutWindow about(actions);
        QCOMPARE(about.windowTitle() + '|' + about.lblVersion->text() + '|' +
                     about.LabelEmail->text() + '|' + about.lblDisclaimer->text(),
                 "关于 Orvanta同行协作办公信息系统|版本 " PROJECT_VERSION_STRING
                 "|webmaster@velantrix.com|警告:此系统是“Velantrix同行协作网”配套管理客户端软件，"
                 "若想使用全部功能，请登陆https://www.velantrix.com申请协作网企业代号及权限......");
        about.show();
        for (QWidget* label : {about.LabelEmail, about.lblDisclaimer, about.lblDescription}) {
            QTest::mouseClick(label, Qt::LeftButton);
            QTest::mouseClick(label, Qt::RightButton);
        }
        QCOMPARE(log, QStringList({"mail webmaster@velantrix.com",
                                   "open https://www.velantrix.com/tonghang/reginfo.asp"}));

        // The icon box shows the program's icon, as the desktop gets it, scaled the same way.
        const QImage icon =
            about.picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = QImage(ICON_DIR "/hicolor/48x48/apps/orvanta.png")
                                 .scaled(36, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(icon.size() == QSize(36, 36) && drawn.size() == icon.size());
        int off = 0;
        for (int i = 0; i < 36 * 36; ++i)
            off +=
                qAbs(qGray(icon.pixel(i % 36, i / 36)) - qGray(drawn.pixel(i % 36, i / 36))) > 16;
        QVERIFY2(off < 36, qPrintable(QString::number(off) + " pixels differ"));
    }

    void systemInformation() {
        const QString tool = "C:\\MSINFO\\msinfo32.exe";
        const QString unavailable = "message 此时系统信息不可用";
        const std::tuple<bool, bool, QStringList> cases[] = {
            {false, true, {unavailable}}, // as on this platform, without a registry
            {true, true, {"start " + tool}},
            {true, false, {"start " + tool, unavailable}}};
        for (const auto& [registered, startWorks, expected] : cases) {
            FakeRegistry reg;
            if (registered)
                reg.keys[{registry::Root::LocalMachine,
                          "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"}]["PATH"] = {
                    1, tool.toStdString() + '\0'};
            starterSucceeds = startWorks;
            log.clear();
            AboutWindow about(actions);
            QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
            QCOMPARE(log, expected);
        }
    }

    void theAboutWindowIsModelessAndShownOnce() {
        QPointer<AboutWindow> first = showAboutWindow(actions);
        QVERIFY(first && !first->isModal());
        QWidget other;
        activate(&other);
        QCOMPARE(showAboutWindow(actions), first.data());
        QTRY_VERIFY_WITH_TIMEOUT(first->isActiveWindow(), Patience);
        QTest::keyClick(first, Qt::Key_Escape); // unloads like OK
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), Patience);
        QVERIFY(showAboutWindow(actions) != nullptr);
    }
};

QTEST_MAIN(TestAccessoriesWindows)
#include "test_accessories_windows.moc"
