#pragma once

#include "CalendarMonth.h"

#include <QDialog>
#include <QLocale>
#include <array>

class QLabel;
class QPushButton;
class QScrollBar;

// A month view with spin controls for month and year, today's day marked and
// today's date written out in full.
class CalendarWindow : public QDialog {
    Q_OBJECT
public:
    // Month and weekday names come from `locale`; Chinese like the rest of the
    // program unless a caller asks otherwise, whatever the system's locale.
    explicit CalendarWindow(QWidget* owner = nullptr,
                            const QLocale& locale = QLocale(QLocale::Chinese,
                                                            QLocale::SimplifiedHanScript,
                                                            QLocale::China));

    QLabel* Label2;                                  // month name
    QLabel* Label5;                                  // "月"
    QScrollBar* HScroll1;                            // month offset
    QLabel* LabelYear;                               // "年"
    QScrollBar* HScroll2;                            // year offset
    QPushButton* Command1;                           // back to today
    QLabel* Label4;                                  // today in full
    std::array<QLabel*, 7> Label1;                   // weekday headings
    std::array<QLabel*, calendar::CellCount> Label3; // day cells

    QDate ShownDate;
    QDate MonthStart;
    // The day the arrow keys have moved to; invalid until they are used.
    QDate KeyDay;

    // Runs once each time the window is shown, when it first becomes active.
    void Form_Activate();
    void Command1_Click();
    void HScroll1_Change();
    void HScroll2_Change();
    void ShowMonth();
    // Arrow keys move the day, Page Up / Page Down the month.
    void moveKeyDay(int days, int months);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void markKeyDay(const calendar::MonthView& view);

    QLocale locale_;
    bool awaitingActivation_ = false;
};

// Shows the calendar modally on today's month; returns when it is closed.
void showCalendar(QWidget* owner);
