// Brickvane read by a screen reader: what Qt's accessibility interfaces give
// for the board, the buttons, the values and the settings, and the settings'
// captions kept clear of their first row.

#include "CaptionBox.h"
#include "CellBox.h"
#include "GameWindow.h"
#include "SettingsWindow.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace brickvane;

namespace {

QAccessibleInterface* accessible(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

// The object named as the control's label, if any.
QObject* labelOf(QObject* control) {
    for (const auto& [other, relation] : accessible(control)->relations(QAccessible::Label))
        if (other && other->object())
            return other->object();
    return nullptr;
}

} // namespace

class TestGameAccessibility : public QObject {
    Q_OBJECT

private slots:
    void theWindowIsReadInWords() {
        GameWindow form;
        const std::pair<QWidget*, const char*> named[] = {
            {form.Picture1, "游戏板"}, {form.Picture2, "下一块"}, {form.CmdLeft, "左移"},
            {form.CmdRevert, "旋转"},  {form.CmdRight, "右移"},   {form.CmdDown, "下移"}};
        for (const auto& [control, name] : named)
            QCOMPARE(accessible(control)->text(QAccessible::Name), QString::fromUtf8(name));
        QCOMPARE(form.CmdLeft->text(), QStringLiteral("<--")); // the caption stays
        QCOMPARE(labelOf(form.LabelLevel), form.Label3);
        QCOMPARE(labelOf(form.LabelScore), form.Label4);

        // The board's state, row by row; a block landed bottom right.
        QCOMPARE(accessible(form.Picture1)->text(QAccessible::Description),
                 QString::fromUtf8("空"));
        form.engine().BoardCols = 10;
        form.engine().BoardRows = 25; // 20 shown, 5 hidden above
        form.NewGame();
        form.engine().PutBlock(form.engine().PositionCount() - 1, true);
        form.Picture1->Sync();
        const QStringList rows =
            accessible(form.Picture1)->text(QAccessible::Description).split(QLatin1Char('\n'));
        QCOMPARE(rows.size(), 20);
        QCOMPARE(rows.last(), QString::fromUtf8("□□□□□□□□□■"));
        const QString preview = accessible(form.Picture2)->text(QAccessible::Description);
        QCOMPARE(preview.count(QChar(0x25A0)), 4); // the next piece's four cells
    }

    // Each list and the slider are labelled by their captions, whatever their values.
    void settingsAreLabelledByTheirCaptions() {
        GameWindow form;
        SettingsWindow settings(form);
        const std::pair<QWidget*, const char*> captioned[] = {
            {settings.ComboRows, "列数"},       {settings.ComboCols, "行数"},
            {settings.ComboLevel, "等级"},      {settings.SliderUpgrade, "升级频率"},
            {settings.combosetting[0], "左移"}, {settings.combosetting[4], "单步下移"}};
        for (const auto& [control, caption] : captioned) {
            auto* label = qobject_cast<QLabel*>(labelOf(control));
            QVERIFY2(label, caption);
            QCOMPARE(label->text(), QString::fromUtf8(caption));
            QCOMPARE(control->accessibleName(), QString::fromUtf8(caption));
        }
        QCOMPARE(accessible(settings.SliderUpgrade)->text(QAccessible::Name),
                 QString::fromUtf8("升级频率"));

        // The group captions end above their first row (列数, 左移).
        const std::pair<QGroupBox*, QWidget*> rows[] = {
            {settings.Frame1, settings.ComboRows}, {settings.Frame2, settings.combosetting[0]}};
        for (const auto& [frame, first] : rows) {
            const QRect ink = static_cast<CaptionBox*>(frame)->CaptionInk();
            QVERIFY2(ink.bottom() < first->y() && ink.top() >= 0,
                     qPrintable(frame->title() + QString::number(ink.bottom())));
        }
    }
};

QTEST_MAIN(TestGameAccessibility)
#include "test_game_accessibility.moc"
