#include "CalendarMonth.h"

#include <QTest>

namespace {
QString caption(const char* year) {
    return QString(13, QLatin1Char(' ')) + QLatin1String(year) + QStringLiteral("年");
}
const QLocale English(QLocale::English, QLocale::UnitedKingdom);
} // namespace

class TestCalendarMonth : public QObject {
    Q_OBJECT
private slots:
    void monthGrids_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("monthSpin");
        QTest::addColumn<int>("yearSpin");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("todayCell");
        QTest::addColumn<QString>("todayText");

        QTest::newRow("starts on Sunday")
            << QDate(2024, 9, 10) << 0 << 0 << English << QDate(2024, 9, 10) << 0 << 30
            << caption("2024") << "九月" << 9 << "Tuesday, 10 September 2024";
        QTest::newRow("31 days from Saturday")
            << QDate(2025, 3, 31) << 0 << 0 << English << QDate(2025, 3, 31) << 6 << 31
            << caption("2025") << "三月" << 36 << "Monday, 31 March 2025";
        QTest::newRow("leap February")
            << QDate(2024, 3, 15) << -1 << 0 << English << QDate(2024, 2, 15) << 4 << 29
            << caption("2024") << "二月" << -1 << QString();
        QTest::newRow("day clamped to February's end")
            << QDate(2024, 3, 31) << -1 << 0 << English << QDate(2024, 2, 29) << 4 << 29
            << caption("2024") << "二月" << -1 << QString();
        QTest::newRow("January back to December")
            << QDate(2024, 1, 20) << -1 << 0 << English << QDate(2023, 12, 20) << 5 << 31
            << caption("2023") << "十二月" << -1 << QString();
        QTest::newRow("a year back")
            << QDate(2024, 1, 20) << 0 << -1 << English << QDate(2023, 1, 20) << 0 << 31
            << caption("2023") << "一月" << -1 << QString();
        QTest::newRow("19500 months back")
            << QDate(2024, 6, 2) << -1500 << -1500 << English << QDate(399, 6, 2) << 2 << 30
            << caption("0399") << "六月" << -1 << QString();
        QTest::newRow("19500 months on")
            << QDate(2024, 6, 2) << 1500 << 1500 << English << QDate(3649, 6, 2) << 2 << 30
            << caption("3649") << "六月" << -1 << QString();
        QTest::newRow("offsets that cancel")
            << QDate(2024, 6, 2) << -12 << 1 << English << QDate(2024, 6, 2) << 6 << 30
            << caption("2024") << "六月" << 7 << "Sunday, 02 June 2024";
        QTest::newRow("German names")
            << QDate(2024, 3, 5) << 0 << 0 << QLocale(QLocale::German) << QDate(2024, 3, 5) << 5
            << 31 << caption("2024") << "MÄRZ" << 9 << "Dienstag, 05 März 2024";
        QTest::newRow("French names")
            << QDate(2024, 3, 5) << -1 << 0 << QLocale(QLocale::French) << QDate(2024, 2, 5) << 4
            << 29 << caption("2024") << "FÉVRIER" << -1 << QString();
        QTest::newRow("Chinese names")
            << QDate(2024, 3, 5) << 0 << 0 << QLocale(QLocale::Chinese, QLocale::China)
            << QDate(2024, 3, 5) << 5 << 31 << caption("2024") << "三月" << 9
            << "星期二, 05 三月 2024";
    }
    void monthGrids() {
        QFETCH(QDate, today);
        QFETCH(int, monthSpin);
        QFETCH(int, yearSpin);
        QFETCH(QLocale, locale);
        QFETCH(QDate, shown);
        QFETCH(int, firstCell);
        QFETCH(int, length);
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QFETCH(int, todayCell);
        QFETCH(QString, todayText);

        const calendar::MonthView v = calendar::monthView(today, monthSpin, yearSpin, locale);
        QCOMPARE(v.shownDate, shown);
        QCOMPARE(v.monthStart, QDate(shown.year(), shown.month(), 1));
        for (int i = 0; i < calendar::CellCount; ++i) {
            const bool inMonth = i >= firstCell && i < firstCell + length;
            QCOMPARE(v.days[i], inMonth ? i - firstCell + 1 : 0);
        }
        QCOMPARE(v.caption, caption);
        QCOMPARE(v.monthLabel, label);
        QCOMPARE(v.todayCell, todayCell);
        QCOMPARE(v.todayText, todayText);
        if (todayCell >= 0)
            QCOMPARE(v.days[todayCell], today.day());
    }

    void everyEnglishMonthNameHasItsChineseLabel_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        const char* english[] = {"January",   "february", "MARCH",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};
        const char* chinese[] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                 "七月", "八月", "九月", "十月", "十一月", "十二月"};
        for (int i = 0; i < 12; ++i)
            QTest::newRow(english[i])
                << QString::fromLatin1(english[i]) << QString::fromUtf8(chinese[i]);
        QTest::newRow("Spanish") << "enero"
                                 << "ENERO";
        QTest::newRow("Russian") << "январь"
                                 << "ЯНВАРЬ";
        QTest::newRow("abbreviated") << "Jan"
                                     << "JAN";
    }
    void everyEnglishMonthNameHasItsChineseLabel() {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QCOMPARE(calendar::monthLabel(name), label);
    }

    void onlyAShownCellIsEverToday() {
        // Every day of a leap year, with each offset a user can reach in a few clicks.
        for (QDate today(2024, 1, 1); today.year() == 2024; today = today.addDays(1)) {
            for (int spin : {-13, -1, 0, 1, 12}) {
                const calendar::MonthView v = calendar::monthView(today, spin, 0, English);
                QCOMPARE(v.todayCell >= 0, spin == 0);
                if (v.todayCell >= 0)
                    QCOMPARE(v.days[v.todayCell], today.day());
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestCalendarMonth)
#include "test_calendar_month.moc"
