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
    // Month and weekday names come from `locale`, the system's by default.
    explicit CalendarWindow(QWidget* owner = nullptr, const QLocale& locale = QLocale::system());

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

    // Runs once each time the window is shown, when it first becomes active.
    void Form_Activate();
    void Command1_Click();
    void HScroll1_Change();
    void HScroll2_Change();
    void ShowMonth();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QLocale locale_;
    bool awaitingActivation_ = false;
};

// Shows the calendar modally on today's month; returns when it is closed.
void showCalendar(QWidget* owner);
