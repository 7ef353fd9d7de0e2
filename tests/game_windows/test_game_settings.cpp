#include "GameTestSupport.h"

#include "Form2.h"
#include "GameLook.h"
#include "GameTwips.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace brickvane;
using namespace brickvane::testing;

namespace {

QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

QStringList Numbers(int from, int to) {
    QStringList numbers;
    for (int n = from; n <= to; ++n)
        numbers << QString::number(n);
    return numbers;
}

std::array<int, 5> Keys(const Engine& e) {
    return {e.KeyLeft, e.KeyRight, e.KeyDrop, e.KeyRotate, e.KeyStep};
}

constexpr std::array<int, 5> DefaultKeys{37, 39, 40, 38, 96};

} // namespace

class TestGameSettings : public QObject {
    Q_OBJECT

private slots:
    void captionsAsDesigned();
    void listsOfferTheirRanges();
    void loadSelectsTheSettingsInForce();

    void acceptedEnterShowsAgainNextTime();
    void defaultThenContinueKeepsTheDefaultKeys();
    void duplicateKeys_data();
    void duplicateKeys();
    void keysNotAcceptedAreLost();

    void levelListShowsTheRunningLevel();
    void restartStoresTheBoardSettingsAndStartsAGame();
    void sliderTooltipFollowsItsValue();

    void pickedColourPaintsTheBoardOnClose();
    void cancelledColourDialogKeepsThePreview();
    void colourDialogCancelledGivesNoColour();
    void closeBoxAppliesTheColourAndNothingElse();
    void continueResumesAGameAndOnlyClosesWithout();
};

void TestGameSettings::captionsAsDesigned() {
    const std::pair<const char*, const char*> captions[] = {
        {"Frame1", "设置框架"},    {"Label2", "列数"},
        {"Label1", "行数"},        {"Label9", "等级"},
        {"Label4", "升级频率"},    {"CmdChgColor", "背景色"},
        {"Frame2", "设置按键"},    {"Label5", "左移"},
        {"Label6", "右移"},        {"Label7", "下移"},
        {"Label8", "旋转"},        {"labelstepdown", "单步下移"},
        {"CmdDefault", "默认"},    {"CmdAccept", "记住我的选择"},
        {"CmdOk", "确认从新开始"}, {"Command1", "继续游戏"}};
    Form1 game;
    Form2 settings(game);
    QCOMPARE(settings.windowTitle(), QStringLiteral("设置...."));
    for (const auto& [name, caption] : captions) {
        auto* w = settings.findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(w, name);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(w))
            shown = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            shown = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            shown = frame->title();
        QCOMPARE(shown, QString::fromUtf8(caption));
    }
    QVERIFY(settings.CmdOk->isDefault());
    // Children stand relative to their frame.
    QCOMPARE(settings.combosetting[4]->parentWidget(), settings.Frame2);
    QCOMPARE(settings.combosetting[4]->geometry(), twips::rect(1020, 1680, 1605, 300));
}

void TestGameSettings::listsOfferTheirRanges() {
    Form1 game;
    Form2 settings(game);
    QCOMPARE(Entries(settings.ComboRows), Numbers(10, 20));
    QCOMPARE(Entries(settings.ComboCols), Numbers(20, 30));
    QCOMPARE(Entries(settings.ComboLevel), Numbers(1, 9));
    QStringList keyList;
    for (char c = 'A'; c <= 'Z'; ++c)
        keyList << QString(QLatin1Char(c));
    keyList << Numbers(0, 9) << "Left"
            << "Up"
            << "Right"
            << "Down"
            << "Space"
            << "Enter";
    for (int d = 0; d <= 9; ++d)
        keyList << QStringLiteral("NumPad%1").arg(d);
    for (QComboBox* list : settings.combosetting) {
        QCOMPARE(Entries(list), keyList);
        QVERIFY(!list->isEditable());
    }
    for (QComboBox* list : {settings.ComboRows, settings.ComboCols, settings.ComboLevel})
        QVERIFY(!list->isEditable());

    QCOMPARE(settings.SliderUpgrade->minimum(), 1000);
    QCOMPARE(settings.SliderUpgrade->maximum(), 2000);
    QCOMPARE(settings.SliderUpgrade->singleStep(), 100);
    QCOMPARE(settings.SliderUpgrade->pageStep(), 100);
    QCOMPARE(settings.SliderUpgrade->tickInterval(), 100);
}

void TestGameSettings::loadSelectsTheSettingsInForce() {
    Form1 game;
    Engine& e = game.engine();
    e.BoardCols = 15;
    e.BoardRows = 33;
    e.UpgradeStep = 1700;
    e.KeyLeft = 65;
    e.KeyRight = 13;
    e.KeyDrop = 32;
    e.KeyRotate = 57;
    e.KeyStep = 105;
    game.SetBoardBackColor(QColor(10, 20, 30));
    Form2 settings(game);
    QCOMPARE(settings.ComboRows->currentText(), QStringLiteral("15"));
    QCOMPARE(settings.ComboCols->currentText(), QStringLiteral("28"));
    QCOMPARE(settings.ComboLevel->currentText(), QStringLiteral("1"));
    QStringList shown;
    for (QComboBox* list : settings.combosetting)
        shown << list->currentText();
    QCOMPARE(shown, (QStringList{"A", "Enter", "Space", "9", "NumPad9"}));
    QCOMPARE(settings.SliderUpgrade->value(), 1700);
    QCOMPARE(look::BackColour(settings.LabelPreView), QColor(10, 20, 30));
}

void TestGameSettings::acceptedEnterShowsAgainNextTime() {
    GameWindow w;
    {
        Form2 settings(w.form);
        settings.combosetting[0]->setCurrentText(QStringLiteral("Enter"));
        settings.CmdAccept->click();
        QCOMPARE(w.engine().KeyLeft, 13);
        settings.Command1->click();
    }
    Form2 again(w.form);
    QCOMPARE(again.combosetting[0]->currentText(), QStringLiteral("Enter"));

    // And Enter now moves the piece left.
    w.key(Qt::Key_F2);
    for (int i = 0; i < 3; ++i)
        w.key(Qt::Key_0, Qt::KeypadModifier);
    const int pivot = w.engine().Piece()[0];
    w.key(Qt::Key_Return);
    QCOMPARE(w.engine().Piece()[0], pivot - 1);
}

void TestGameSettings::defaultThenContinueKeepsTheDefaultKeys() {
    Form1 game;
    Engine& e = game.engine();
    e.KeyLeft = 65;
    e.KeyRight = 68;
    e.KeyDrop = 83;
    e.KeyRotate = 87;
    e.KeyStep = 32;
    Form2 settings(game);
    settings.CmdDefault->click();
    QCOMPARE(Keys(e), DefaultKeys); // in force at once
    QCOMPARE(settings.combosetting[0]->currentText(), QStringLiteral("Left"));
    QCOMPARE(settings.combosetting[1]->currentText(), QStringLiteral("Right"));
    QCOMPARE(settings.combosetting[2]->currentText(), QStringLiteral("Down"));
    QCOMPARE(settings.combosetting[3]->currentText(), QStringLiteral("Up"));
    QCOMPARE(settings.combosetting[4]->currentText(), QStringLiteral("NumPad0"));
    settings.Command1->click();
    QCOMPARE(Keys(e), DefaultKeys);
}

void TestGameSettings::duplicateKeys_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("copyOf");
    QTest::addColumn<bool>("refused");
    QTest::newRow("rotate = left") << 3 << 0 << true;
    QTest::newRow("right = left") << 1 << 0 << true;
    QTest::newRow("drop = rotate") << 2 << 3 << true;
    QTest::newRow("step = drop") << 4 << 2 << false;
    QTest::newRow("step = left") << 4 << 0 << false;
}

void TestGameSettings::duplicateKeys() {
    QFETCH(int, box);
    QFETCH(int, copyOf);
    QFETCH(bool, refused);
    Form1 game;
    ScriptedMessages messages;
    Form2 settings(game);
    settings.show();
    const auto b = std::size_t(box);
    settings.combosetting[b]->setCurrentIndex(
        settings.combosetting[std::size_t(copyOf)]->currentIndex());
    settings.CmdAccept->click();
    QVERIFY(settings.isVisible()); // open either way
    if (refused) {
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked[0].text, QStringLiteral("有键重复了！"));
        QCOMPARE(messages.asked[0].title, QStringLiteral("错误！"));
        QCOMPARE(messages.asked[0].buttons, seams::Buttons::Ok);
        QCOMPARE(Keys(game.engine()), DefaultKeys);
    } else {
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(Keys(game.engine())[b], DefaultKeys[std::size_t(copyOf)]);
    }
}

void TestGameSettings::keysNotAcceptedAreLost() {
    Form1 game;
    Form2 settings(game);
    settings.combosetting[0]->setCurrentText(QStringLiteral("A"));
    settings.CmdOk->click();
    QCOMPARE(Keys(game.engine()), DefaultKeys);
}

void TestGameSettings::levelListShowsTheRunningLevel() {
    Form1 game;
    game.engine().StartLevel = 4;
    game.NewGame();
    game.engine().StartLevel = 1; // the list must show the level reached, not this
    Form2 settings(game);
    QCOMPARE(settings.ComboLevel->currentText(), QStringLiteral("4"));
    settings.CmdOk->click();
    QCOMPARE(game.engine().StartLevel, 4);
    QCOMPARE(game.engine().Level(), 4);
}

void TestGameSettings::restartStoresTheBoardSettingsAndStartsAGame() {
    Form1 game;
    Form2 settings(game);
    settings.ComboRows->setCurrentText(QStringLiteral("20"));
    settings.ComboCols->setCurrentText(QStringLiteral("20"));
    settings.ComboLevel->setCurrentText(QStringLiteral("9"));
    settings.SliderUpgrade->setValue(1500);
    settings.CmdOk->click();
    QVERIFY(!settings.isVisible());
    const Engine& e = game.engine();
    QCOMPARE(e.BoardCols, 20);
    QCOMPARE(e.BoardRows, 25);
    QCOMPARE(e.StartLevel, 9);
    QCOMPARE(e.UpgradeStep, 1500);
    QCOMPARE(e.BuiltCols(), 20);
    QCOMPARE(e.Level(), 9);
    QVERIFY(game.Timer1.isActive());
    QCOMPARE(twips::placeOf(game.Picture1).width(), 4880.0);
}

void TestGameSettings::sliderTooltipFollowsItsValue() {
    Form1 game;
    game.engine().UpgradeStep = 1200;
    Form2 settings(game);
    QCOMPARE(settings.SliderUpgrade->toolTip(), QStringLiteral("1200分"));
    settings.SliderUpgrade->setValue(1500);
    QCOMPARE(settings.SliderUpgrade->toolTip(), QStringLiteral("1500分"));
    settings.SliderUpgrade->triggerAction(QSlider::SliderSingleStepAdd);
    QCOMPARE(settings.SliderUpgrade->toolTip(), QStringLiteral("1600分"));
}

void TestGameSettings::pickedColourPaintsTheBoardOnClose() {
    Form1 game;
    const QColor before = game.BoardBackColor();
    ScriptedColours colours;
    colours.answers = {QColor(0, 128, 0), QColor(200, 0, 0)};
    Form2 settings(game);
    settings.CmdChgColor->click();
    QTest::mouseClick(settings.LabelPreView, Qt::LeftButton);
    QCOMPARE(colours.initials, (QList<QColor>{before, QColor(0, 128, 0)}));
    QCOMPARE(look::BackColour(settings.LabelPreView), QColor(200, 0, 0));
    QCOMPARE(game.BoardBackColor(), before); // not before the window closes
    settings.Command1->click();
    QCOMPARE(game.Picture1->BackColor(), QColor(200, 0, 0));
    QCOMPARE(game.Picture2->BackColor(), QColor(200, 0, 0));
}

// A cancelled colour dialog used to put the dialog's own colour into the
// preview; now it leaves the preview, and so the board, as they were.
void TestGameSettings::cancelledColourDialogKeepsThePreview() {
    Form1 game;
    game.SetBoardBackColor(QColor(0, 0, 90));
    ScriptedColours colours;
    colours.answers = {std::nullopt, QColor(1, 2, 3), std::nullopt};
    Form2 settings(game);
    settings.show();
    settings.CmdChgColor->click();
    QCOMPARE(look::BackColour(settings.LabelPreView), QColor(0, 0, 90));
    settings.CmdChgColor->click();
    QTest::mouseClick(settings.LabelPreView, Qt::LeftButton);
    QCOMPARE(look::BackColour(settings.LabelPreView), QColor(1, 2, 3));
    QCOMPARE(colours.initials.size(), 3);
    settings.close();
    QCOMPARE(game.BoardBackColor(), QColor(1, 2, 3));
}

void TestGameSettings::colourDialogCancelledGivesNoColour() {
    // The platform's dialog, cancelled after a colour was clicked in it.
    QColor initial;
    OnModal<QColorDialog> cancel([&initial](QColorDialog& d) {
        initial = d.currentColor();
        d.setCurrentColor(Qt::green);
        d.reject();
    });
    QCOMPARE(seams::pickColour(QColor(Qt::blue), nullptr), std::nullopt);
    QVERIFY(cancel.fired);
    QCOMPARE(initial, QColor(Qt::blue));

    OnModal<QColorDialog> ok([](QColorDialog& d) {
        d.setCurrentColor(Qt::green);
        d.accept();
    });
    QCOMPARE(seams::pickColour(QColor(Qt::blue), nullptr), std::optional<QColor>(Qt::green));
    QVERIFY(ok.fired);
}

void TestGameSettings::closeBoxAppliesTheColourAndNothingElse() {
    GameWindow w;
    w.key(Qt::Key_F2);
    w.form.StopTimer(); // as the settings command does
    ScriptedColours colours;
    colours.answers = {QColor(Qt::darkCyan)};
    Form2 settings(w.form);
    settings.show();
    settings.CmdChgColor->click();
    settings.ComboRows->setCurrentText(QStringLiteral("20"));
    settings.combosetting[0]->setCurrentText(QStringLiteral("Z"));
    settings.close();
    QCOMPARE(w.form.BoardBackColor(), QColor(Qt::darkCyan));
    QCOMPARE(w.engine().BoardCols, 10);
    QCOMPARE(w.engine().KeyLeft, 37);
    QVERIFY(!w.form.Timer1.isActive());
}

void TestGameSettings::continueResumesAGameAndOnlyClosesWithout() {
    GameWindow w;
    {
        Form2 settings(w.form);
        settings.show();
        QTest::keyClick(&settings, Qt::Key_Escape); // Esc is "继续游戏"
        QVERIFY(!settings.isVisible());
        QVERIFY(!w.form.Timer1.isActive());
        QVERIFY(!w.form.CmdLeft->isEnabled());
    }
    w.key(Qt::Key_F2);
    w.key(Qt::Key_F4); // paused: the resume continues it all the same
    Form2 settings(w.form);
    settings.Command1->click();
    QVERIFY(w.form.Timer1.isActive());
    QVERIFY(w.form.CmdLeft->isEnabled());
    QCOMPARE(w.form.CmdPause->text(), QStringLiteral("暂停(&P)"));
}

QTEST_MAIN(TestGameSettings)
#include "test_game_settings.moc"
