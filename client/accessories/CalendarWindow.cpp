#include "CalendarWindow.h"

#include "Seams.h"
#include "Twips.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

namespace {

const QColor WindowColour(255, 192, 255);
const QColor DayColour(0, 96, 64);
const QColor TodayColour(255, 0, 0);

QFont boldFont(double points) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

void setColours(QWidget* w, const QColor& background, const QColor& text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setBorder(QLabel* label, bool border) {
    label->setFrameStyle(border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

QLabel* makeLabel(QWidget* parent, const QRect& place, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

QScrollBar* makeSpin(QWidget* parent, const QRect& place) {
    auto* spin = new QScrollBar(Qt::Horizontal, parent);
    spin->setGeometry(place);
    spin->setRange(-1500, 1500);
    spin->setSingleStep(1);
    spin->setPageStep(1);
    spin->setValue(0);
    return spin;
}

} // namespace

CalendarWindow::CalendarWindow(QWidget* owner, const QLocale& locale)
    : QDialog(owner), locale_(locale) {
    setWindowTitle(QStringLiteral("Calendar"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twips::size(2910, 3030));
    setColours(this, WindowColour, palette().color(QPalette::WindowText));

    Label2 = makeLabel(this, twips::rect(45, 90, 690, 285));
    setColours(Label2, palette().color(QPalette::Base), palette().color(QPalette::Text));
    setBorder(Label2, true);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(boldFont(8.25));

    Label5 = makeLabel(this, twips::rect(840, 180, 255, 255), QStringLiteral("月"));
    setColours(Label5, WindowColour, palette().color(QPalette::WindowText));
    HScroll1 = makeSpin(this, twips::rect(1080, 90, 405, 285));
    LabelYear = makeLabel(this, twips::rect(1680, 180, 255, 255), QStringLiteral("年"));
    setColours(LabelYear, WindowColour, palette().color(QPalette::WindowText));
    HScroll2 = makeSpin(this, twips::rect(1890, 90, 420, 285));

    Command1 = new QPushButton(QStringLiteral("今日"), this);
    Command1->setGeometry(twips::rect(2380, 100, 520, 300));
    Command1->setDefault(true);

    Label4 = makeLabel(this, twips::rect(45, 495, 2805, 285));
    setColours(Label4, QColor(255, 255, 192), QColor(0, 0, 255));
    setBorder(Label4, true);
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setFont(boldFont(8.25));

    // Sunday's heading is the last item but stands in the first column.
    const std::array<QString, 7> weekdays{
        QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
        QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("日")};
    const std::array<int, 7> headingLeft{450, 855, 1260, 1665, 2070, 2475, 45};
    for (int i = 0; i < 7; ++i) {
        Label1[i] = makeLabel(this, twips::rect(headingLeft[i], 855, 375, 285), weekdays[i]);
        setColours(Label1[i], QColor(192, 0, 0), QColor(128, 255, 128));
        setBorder(Label1[i], true);
        Label1[i]->setAlignment(Qt::AlignCenter);
        Label1[i]->setFont(boldFont(8.25));
    }

    for (int i = 0; i < calendar::CellCount; ++i) {
        const int column = i % 7;
        const int left = i == 6 ? 2430 : 45 + 405 * column;
        Label3[i] = makeLabel(this, twips::rect(left, 1170 + 315 * (i / 7), 375, 285));
        setColours(Label3[i], QColor(255, 224, 192), QColor(0, 128, 128));
        Label3[i]->setAlignment(Qt::AlignCenter);
        Label3[i]->setFont(boldFont(9.75));
    }

    HScroll1->setAccessibleName(QStringLiteral("月份"));
    HScroll2->setAccessibleName(QStringLiteral("年份"));
    Label4->setAccessibleName(QStringLiteral("今天"));
    const struct {
        Qt::Key key;
        int days;
        int months;
    } moves[] = {{Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0},   {Qt::Key_Up, -7, 0},
                 {Qt::Key_Down, 7, 0},  {Qt::Key_PageUp, 0, -1}, {Qt::Key_PageDown, 0, 1}};
    for (const auto& m : moves) {
        // Ahead of the button, which would take the arrows to move the focus.
        auto* key = new QShortcut(QKeySequence(m.key), this);
        connect(key, &QShortcut::activated, this, [this, m] { moveKeyDay(m.days, m.months); });
    }

    connect(HScroll1, &QScrollBar::valueChanged, this, &CalendarWindow::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &CalendarWindow::HScroll2_Change);
    connect(Command1, &QPushButton::clicked, this, &CalendarWindow::Command1_Click);
}

void CalendarWindow::showEvent(QShowEvent* e) {
    awaitingActivation_ = true;
    QDialog::showEvent(e);
}

bool CalendarWindow::event(QEvent* e) {
    // Every showing starts on today's month; coming back from another program
    // keeps the month the user paged to.
    if (e->type() == QEvent::WindowActivate && awaitingActivation_) {
        awaitingActivation_ = false;
        Form_Activate();
    }
    return QDialog::event(e);
}

void CalendarWindow::Form_Activate() {
    Command1_Click();
    ShowMonth();
}

void CalendarWindow::Command1_Click() {
    KeyDay = QDate();
    // Each spin that moves redraws through its change handler.
    HScroll1->setValue(0);
    HScroll2->setValue(0);
}

void CalendarWindow::HScroll1_Change() {
    ShowMonth();
}

void CalendarWindow::HScroll2_Change() {
    ShowMonth();
}

void CalendarWindow::moveKeyDay(int days, int months) {
    const QDate today = seams::now().date();
    const QDate from = KeyDay.isValid() ? KeyDay : ShownDate;
    KeyDay = from.addDays(days).addMonths(months);
    // The spins say which month is shown; the year spin keeps its value.
    const int offset = (KeyDay.year() - today.year()) * 12 + KeyDay.month() - today.month();
    if (offset - 12 * HScroll2->value() != HScroll1->value())
        HScroll1->setValue(offset - 12 * HScroll2->value());
    else
        ShowMonth();
}

void CalendarWindow::ShowMonth() {
    const calendar::MonthView view =
        calendar::monthView(seams::now().date(), HScroll1->value(), HScroll2->value(), locale_);
    ShownDate = view.shownDate;
    MonthStart = view.monthStart;

    Label2->setText(view.monthLabel);
    setWindowTitle(view.caption);
    for (int i = 0; i < calendar::CellCount; ++i) {
        QLabel* cell = Label3[i];
        const int day = view.days[i];
        // A hidden cell keeps no old number, so only a shown cell can be today's.
        cell->setText(day > 0 ? QString::number(day) : QString());
        cell->setVisible(day > 0);
        setColours(cell, cell->palette().color(QPalette::Window),
                   i == view.todayCell ? TodayColour : DayColour);
        setBorder(cell, i == view.todayCell);
        cell->setAccessibleName(QString());
    }
    markKeyDay(view);
    if (!view.todayText.isEmpty())
        Label4->setText(view.todayText);
}

// The day the keys reached is framed apart from today's mark and read out in
// full to a screen reader.
void CalendarWindow::markKeyDay(const calendar::MonthView& view) {
    if (!KeyDay.isValid() || KeyDay.year() != MonthStart.year() ||
        KeyDay.month() != MonthStart.month())
        return;
    const int firstColumn = MonthStart.dayOfWeek() % 7;
    QLabel* cell = Label3[firstColumn + KeyDay.day() - 1];
    if (firstColumn + KeyDay.day() - 1 != view.todayCell)
        cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cell->setAccessibleName(locale_.toString(KeyDay, QLocale::LongFormat));
    QAccessibleEvent named(cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent focused(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&focused);
}

void showCalendar(QWidget* owner) {
    CalendarWindow calendar(owner);
    calendar.exec();
}
