#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <array>

// The month the calendar shows: which day goes in which of its 37 cells, its
// captions and today's mark. Today and the month names come in from outside.
namespace calendar {

// Seven columns, Sunday first; a 31-day month starting on Saturday reaches cell 36.
constexpr int CellCount = 37;

struct MonthView {
    QDate shownDate;  // today moved by whole months
    QDate monthStart; // day 1 of the shown month
    // Day of the month per cell; 0 for a cell left hidden and blank.
    std::array<int, CellCount> days{};
    int todayCell = -1; // the shown cell that holds today, or -1
    QString monthLabel;
    QString caption;
    QString todayText; // today in full; empty unless the shown month is today's
};

// Months away from today for the month and year spin controls.
int monthOffset(int monthSpin, int yearSpin);

// The month `monthSpin` months and `yearSpin` years from `today`, with the
// month and weekday names of `locale`.
MonthView monthView(const QDate& today, int monthSpin, int yearSpin, const QLocale& locale);

// Chinese for an English full month name; any other name upper-cased.
QString monthLabel(const QString& fullMonthName);

} // namespace calendar
