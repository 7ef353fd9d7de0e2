#include "CalendarMonth.h"

#include <QStringList>

namespace calendar {

int monthOffset(int monthSpin, int yearSpin) {
    return yearSpin * 12 + monthSpin;
}

QString monthLabel(const QString& fullMonthName) {
    static const QStringList english{
        QStringLiteral("JANUARY"), QStringLiteral("FEBRUARY"), QStringLiteral("MARCH"),
        QStringLiteral("APRIL"),   QStringLiteral("MAY"),      QStringLiteral("JUNE"),
        QStringLiteral("JULY"),    QStringLiteral("AUGUST"),   QStringLiteral("SEPTEMBER"),
        QStringLiteral("OCTOBER"), QStringLiteral("NOVEMBER"), QStringLiteral("DECEMBER")};
    static const QStringList chinese{
        QStringLiteral("一月"), QStringLiteral("二月"),   QStringLiteral("三月"),
        QStringLiteral("四月"), QStringLiteral("五月"),   QStringLiteral("六月"),
        QStringLiteral("七月"), QStringLiteral("八月"),   QStringLiteral("九月"),
        QStringLiteral("十月"), QStringLiteral("十一月"), QStringLiteral("十二月")};
    const QString upper = fullMonthName.toUpper();
    const qsizetype i = english.indexOf(upper);
    return i < 0 ? upper : chinese.at(i);
}

MonthView monthView(const QDate& today, int monthSpin, int yearSpin, const QLocale& locale) {
    MonthView v;
    v.shownDate = today.addMonths(monthOffset(monthSpin, yearSpin));
    v.monthStart = QDate(v.shownDate.year(), v.shownDate.month(), 1);
    v.monthLabel = monthLabel(locale.standaloneMonthName(v.shownDate.month(), QLocale::LongFormat));
    v.caption = QString(13, QLatin1Char(' ')) +
                QStringLiteral("%1").arg(v.shownDate.year(), 4, 10, QLatin1Char('0')) +
                QStringLiteral("年");

    const int firstColumn = v.monthStart.dayOfWeek() % 7; // Sunday is column 0
    for (int day = 1; day <= v.monthStart.daysInMonth(); ++day)
        v.days[firstColumn + day - 1] = day;

    if (v.shownDate == today) {
        v.todayText = locale.toString(today, QStringLiteral("dddd, dd MMMM yyyy"));
        v.todayCell = firstColumn + today.day() - 1;
    }
    return v;
}

} // namespace calendar
