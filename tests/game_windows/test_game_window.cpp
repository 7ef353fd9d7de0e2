#include "GameTestSupport.h"

#include "Form2.h"
#include "GameTwips.h"
#include "KeyMap.h"
#include "dialog.h"
#include "frmAbout.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace brickvane;
using namespace brickvane::testing;

namespace {

using Piece = std::array<int, 4>;

Piece Shifted(Piece p, int by) {
    for (int& position : p)
        position += by;
    return p;
}

// Brings the first piece (shape 0, flat in row 2) down to `row` with the step
// key; from row 5 on it may move sideways, from row 7 on it may also turn.
void StepDownTo(GameWindow& w, int row = 5) {
    for (int i = 0; i < 40 && w.engine().Piece()[0] / w.engine().BuiltCols() < row; ++i)
        w.key(Qt::Key_0, Qt::KeypadModifier);
    QCOMPARE(w.engine().Piece()[0] / w.engine().BuiltCols(), row);
}

enum class Expect { Left, Down, Turn, Nothing };

} // namespace
Q_DECLARE_METATYPE(Expect)

class TestGameWindow : public QObject {
    Q_OBJECT

private slots:
    void controlsStandAsDesigned_data();
    void controlsStandAsDesigned();
    void menusCaptionsAndShortcuts();
    void fontsAndColours();
    void virtualKeyNumbers_data();
    void virtualKeyNumbers();

    void nothingMovesBeforeTheFirstStart();
    void startBeginsAGameAndTheTimerMovesIt();
    void newGameResizesTheWindowToTheBoard();
    void newGameWithAnUnchangedSizeRebuildsNothing();

    void keyPrecedence_data();
    void keyPrecedence();
    void f3AndEscComeBeforeGameKeys();
    void keysReachTheHandlerWhicheverControlHasTheFocus();
    void dropRepeatsUntilThePieceLands();
    void dropThatEndsTheGameOpensTheDialogFromInsideTheDrop();

    void pauseAndContinue();
    void minimiseHaltsAndRestoreResumesOnlyARunningGame();
    void settingsAndHelpStopTheTimer();

    void exitAsksFirst();
    void pictureShowsTheWelcomeMessage();
    void boardRepaintsOnlyWhatChanged();
};

// ---- Layout, captions, keys ----

void TestGameWindow::controlsStandAsDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("twips");
    QTest::newRow("Picture1") << "Picture1" << QString() << QRectF(30, 30, 2480, 4875);
    QTest::newRow("Picture2") << "Picture2" << QString() << QRectF(2790, 420, 1305, 1305);
    QTest::newRow("LabNext") << "LabNext"
                             << "下一块:" << QRectF(2955, 75, 1050, 270);
    QTest::newRow("Label3") << "Label3"
                            << "等级" << QRectF(2895, 1965, 375, 195);
    QTest::newRow("LabelLevel") << "LabelLevel" << QString() << QRectF(3315, 1905, 675, 315);
    QTest::newRow("Label4") << "Label4"
                            << "得分" << QRectF(2895, 2325, 375, 195);
    QTest::newRow("LabelScore") << "LabelScore" << QString() << QRectF(3315, 2265, 675, 315);
    QTest::newRow("CmdLeft") << "CmdLeft"
                             << "<--" << QRectF(2805, 2715, 435, 375);
    QTest::newRow("CmdRevert") << "CmdRevert"
                               << "()" << QRectF(3285, 2715, 435, 375);
    QTest::newRow("CmdRight") << "CmdRight"
                              << "-->" << QRectF(3765, 2715, 435, 375);
    QTest::newRow("CmdDown") << "CmdDown"
                             << "V" << QRectF(3285, 3135, 435, 375);
    QTest::newRow("Picture3") << "Picture3" << QString() << QRectF(2650, 3560, 1815, 1400);
}

void TestGameWindow::controlsStandAsDesigned() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRectF, twips);
    Form1 form;
    auto* w = form.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(twips::placeOf(w), twips);
    QCOMPARE(w->geometry(), twips::rect(twips));
    if (auto* label = qobject_cast<QLabel*>(w))
        QCOMPARE(label->text(), text);
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(button->text(), text);
        QVERIFY2(!button->isEnabled(), "move buttons are disabled until a game starts");
    }
    QCOMPARE(form.windowTitle(), QStringLiteral("Brickvane"));
    QCOMPARE(form.OuterTwips(), QSizeF(4545 + 90, 4935 + 660));
    QCOMPARE(form.centralWidget()->size(), twips::size(4545, 4935));
}

void TestGameWindow::menusCaptionsAndShortcuts() {
    Form1 form;
    QStringList bar;
    for (QAction* a : form.menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{"文件(&F)", "设置(&S)", "暂停(&P)", "关于(&A)"}));

    const QList<QAction*> file = form.MnuFile->actions();
    QCOMPARE(file.size(), 3);
    QCOMPARE(file[0], form.cmdStart);
    QVERIFY(file[1]->isSeparator());
    QCOMPARE(file[2], form.cmdexit);
    QCOMPARE(form.about->actions(), QList<QAction*>{form.cmdhelp});

    QCOMPARE(form.cmdStart->text(), QStringLiteral("开始(&Start)"));
    QCOMPARE(form.cmdexit->text(), QStringLiteral("退出(&Exit)"));
    QCOMPARE(form.cmdhelp->text(), QStringLiteral("帮助(&Help)"));
    QCOMPARE(form.cmdStart->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(form.cmdexit->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(form.cmdhelp->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(!form.CmdPause->isEnabled());
}

void TestGameWindow::fontsAndColours() {
    Form1 form;
    const QStringList songTi{"宋体", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"};
    QCOMPARE(form.LabNext->font().families(), songTi);
    QCOMPARE(form.LabNext->font().pointSizeF(), 12.0);
    QVERIFY(form.LabNext->font().bold());
    QCOMPARE(form.LabNext->palette().color(QPalette::WindowText), QColor(192, 64, 0));
    for (QLabel* value : {form.LabelLevel, form.LabelScore}) {
        QCOMPARE(value->font().pointSizeF(), 10.5);
        QVERIFY(value->font().bold());
        QCOMPARE(value->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    QCOMPARE(form.BoardBackColor(), QApplication::palette().color(QPalette::WindowText));
}

void TestGameWindow::virtualKeyNumbers_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("expected");
    QTest::newRow("A") << int(Qt::Key_A) << false << 65;
    QTest::newRow("Z") << int(Qt::Key_Z) << false << 90;
    QTest::newRow("top-row 0") << int(Qt::Key_0) << false << 48;
    QTest::newRow("top-row 9") << int(Qt::Key_9) << false << 57;
    QTest::newRow("pad 0") << int(Qt::Key_0) << true << 96;
    QTest::newRow("pad 9") << int(Qt::Key_9) << true << 105;
    QTest::newRow("left") << int(Qt::Key_Left) << false << 37;
    QTest::newRow("up") << int(Qt::Key_Up) << false << 38;
    QTest::newRow("right") << int(Qt::Key_Right) << false << 39;
    QTest::newRow("down") << int(Qt::Key_Down) << false << 40;
    QTest::newRow("pad arrow") << int(Qt::Key_Left) << true << 37;
    QTest::newRow("space") << int(Qt::Key_Space) << false << 32;
    QTest::newRow("return") << int(Qt::Key_Return) << false << 13;
    QTest::newRow("pad enter") << int(Qt::Key_Enter) << true << 13;
    QTest::newRow("F1") << int(Qt::Key_F1) << false << 112;
    QTest::newRow("F3") << int(Qt::Key_F3) << false << 114;
    QTest::newRow("F5") << int(Qt::Key_F5) << false << 116;
    QTest::newRow("esc") << int(Qt::Key_Escape) << false << 27;
    QTest::newRow("pause") << int(Qt::Key_Pause) << false << 19;
    QTest::newRow("tab is not a game key") << int(Qt::Key_Tab) << false << 0;
}

void TestGameWindow::virtualKeyNumbers() {
    QFETCH(int, qtKey);
    QFETCH(bool, keypad);
    QFETCH(int, expected);
    QCOMPARE(VirtualKeyOf(qtKey, keypad ? Qt::KeypadModifier : Qt::NoModifier), expected);
}

// ---- Starting ----

void TestGameWindow::nothingMovesBeforeTheFirstStart() {
    GameWindow w;
    for (QTimer* timer : w.form.findChildren<QTimer*>())
        QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
    const auto revision = w.engine().Revision();
    for (Qt::Key k :
         {Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up, Qt::Key_F4, Qt::Key_Pause})
        w.key(k);
    w.key(Qt::Key_0, Qt::KeypadModifier);
    QTest::qWait(200);
    QVERIFY(!w.engine().GameExists());
    QCOMPARE(w.engine().Revision(), revision);
    QVERIFY(!w.form.Timer1.isActive());
    QVERIFY(!w.form.CmdPause->isEnabled());
    QCOMPARE(w.form.CmdPause->text(), QStringLiteral("暂停(&P)"));
    QCOMPARE(w.form.LabelScore->text(), QString());
    QVERIFY(w.sounds.played.empty());
}

void TestGameWindow::startBeginsAGameAndTheTimerMovesIt() {
    GameWindow w;
    w.key(Qt::Key_F2);
    QVERIFY(w.engine().GameExists());
    QCOMPARE(w.form.cmdStart->text(), QStringLiteral("从新开始(&Restart)"));
    QVERIFY(w.form.Timer1.isActive());
    QCOMPARE(std::chrono::milliseconds(w.form.Timer1.interval()), TickPeriod);
    for (QPushButton* b : {w.form.CmdLeft, w.form.CmdRight, w.form.CmdRevert, w.form.CmdDown})
        QVERIFY(b->isEnabled());
    QVERIFY(w.form.CmdPause->isEnabled());
    QCOMPARE(w.form.LabelLevel->text(), QStringLiteral("1"));
    QCOMPARE(w.form.LabelScore->text(), QStringLiteral("0"));
    const Piece spawned = w.engine().Piece();
    QTRY_VERIFY_WITH_TIMEOUT(w.engine().Piece() != spawned, 10000);

    // The menu item keeps its new caption for the rest of the run.
    w.form.cmdStart->trigger();
    QCOMPARE(w.form.cmdStart->text(), QStringLiteral("从新开始(&Restart)"));
}

void TestGameWindow::newGameResizesTheWindowToTheBoard() {
    Form1 form;
    const QList<QWidget*> moving{form.CmdDown,    form.CmdLeft, form.CmdRight, form.CmdRevert,
                                 form.LabNext,    form.Label3,  form.Label4,   form.LabelLevel,
                                 form.LabelScore, form.Picture2};
    QList<QRectF> designed;
    for (QWidget* w : moving)
        designed << twips::placeOf(w);
    const QRectF picture = twips::placeOf(form.Picture3);

    form.engine().BoardCols = 20;
    QVERIFY(form.NewGame());
    QCOMPARE(twips::placeOf(form.Picture1), QRectF(30, 30, 4880, 4875));
    QCOMPARE(form.OuterTwips(), QSizeF(7035, 5595));
    QCOMPARE(form.centralWidget()->size(), twips::size(7035 - 90, 5595 - 660));
    QCOMPARE(form.Picture1->width(), twips::toPixels(4880));
    for (int i = 0; i < moving.size(); ++i) {
        QCOMPARE(twips::placeOf(moving[i]), designed[i].translated(2400, 0));
        QCOMPARE(moving[i]->geometry(), twips::rect(designed[i].translated(2400, 0)));
    }
    QCOMPARE(twips::placeOf(form.Picture3), picture);

    form.engine().BoardCols = 10;
    form.engine().BoardRows = 35;
    QVERIFY(form.NewGame());
    QCOMPARE(twips::placeOf(form.Picture1), QRectF(30, 30, 2480, 30 * 240 + 75));
    QCOMPARE(form.OuterTwips(), QSizeF(4635, 30 * 240 + 75 + 720));
    for (int i = 0; i < moving.size(); ++i)
        QCOMPARE(twips::placeOf(moving[i]), designed[i]);
}

void TestGameWindow::newGameWithAnUnchangedSizeRebuildsNothing() {
    Form1 form;
    form.engine().SetRandomSource(FirstChoice());
    QVERIFY(form.NewGame());
    form.engine().PutBlock(200, true);
    const QRect window = form.geometry();
    const QRectF board = twips::placeOf(form.Picture1);
    QVERIFY(!form.NewGame());
    QCOMPARE(form.geometry(), window);
    QCOMPARE(twips::placeOf(form.Picture1), board);
    int shown = 0;
    for (const Cell& cell : form.engine().Blocks())
        shown += cell.shown;
    QCOMPARE(shown, 4); // only the new piece
}

// ---- Keys ----

void TestGameWindow::keyPrecedence_data() {
    QTest::addColumn<int>("keyStep");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<Expect>("expected");
    QTest::newRow("left") << 96 << int(Qt::Key_Left) << false << Expect::Left;
    QTest::newRow("left while paused") << 96 << int(Qt::Key_Left) << true << Expect::Nothing;
    QTest::newRow("up turns") << 96 << int(Qt::Key_Up) << false << Expect::Turn;
    QTest::newRow("step on left acts as left") << 37 << int(Qt::Key_Left) << false << Expect::Left;
    QTest::newRow("step on left, paused, steps") << 37 << int(Qt::Key_Left) << true << Expect::Down;
    QTest::newRow("step on up steps, not turns") << 38 << int(Qt::Key_Up) << false << Expect::Down;
    QTest::newRow("step on space") << 32 << int(Qt::Key_Space) << false << Expect::Down;
    QTest::newRow("step on enter while paused")
        << 13 << int(Qt::Key_Return) << true << Expect::Down;
}

void TestGameWindow::keyPrecedence() {
    QFETCH(int, keyStep);
    QFETCH(int, pressed);
    QFETCH(bool, paused);
    QFETCH(Expect, expected);
    GameWindow w;
    w.key(Qt::Key_F2);
    StepDownTo(w, 8);
    w.engine().KeyStep = keyStep;
    if (paused)
        w.key(Qt::Key_F4);
    QCOMPARE(w.form.CmdLeft->isEnabled(), !paused);

    const Piece before = w.engine().Piece();
    w.key(Qt::Key(pressed));
    const Piece after = w.engine().Piece();
    switch (expected) {
    case Expect::Left:
        QCOMPARE(after, Shifted(before, -1));
        break;
    case Expect::Down:
        QCOMPARE(after, Shifted(before, w.engine().BuiltCols()));
        break;
    case Expect::Turn:
        QCOMPARE(after[0], before[0]);
        QVERIFY(after != before);
        QVERIFY(w.form.Picture1->hasFocus());
        break;
    case Expect::Nothing:
        QCOMPARE(after, before);
        break;
    }
}

void TestGameWindow::f3AndEscComeBeforeGameKeys() {
    GameWindow w;
    w.key(Qt::Key_F2);
    StepDownTo(w);
    const Piece before = w.engine().Piece();

    w.engine().KeyLeft = vk::F3;
    OnModal<Form2> settings([](Form2& f) { f.Command1->click(); });
    w.key(Qt::Key_F3);
    QVERIFY(settings.fired);
    QCOMPARE(w.engine().Piece(), before);

    w.engine().KeyRight = vk::Escape;
    w.key(Qt::Key_Escape);
    QVERIFY(w.form.isMinimized());
    QCOMPARE(w.engine().Piece(), before);
}

void TestGameWindow::keysReachTheHandlerWhicheverControlHasTheFocus() {
    GameWindow w;
    w.key(Qt::Key_F2);
    StepDownTo(w);
    w.form.Timer1.stop(); // only the keys move the piece here
    for (QWidget* focus : std::initializer_list<QWidget*>{w.form.CmdRight, w.form.Picture1}) {
        focus->setFocus();
        const Piece before = w.engine().Piece();
        QTest::keyClick(focus, Qt::Key_Left);
        QCOMPARE(w.engine().Piece(), Shifted(before, -1));
    }
    // A focused button does not take the step key for a click of its own.
    w.form.CmdLeft->setFocus();
    w.engine().KeyStep = vk::Space;
    const Piece before = w.engine().Piece();
    QTest::keyClick(w.form.CmdLeft, Qt::Key_Space);
    QCOMPARE(w.engine().Piece(), Shifted(before, 10));
}

void TestGameWindow::dropRepeatsUntilThePieceLands() {
    GameWindow w;
    w.key(Qt::Key_F2);
    w.form.Timer1.stop();
    StepDownTo(w);
    w.key(Qt::Key_Down);
    // Shape 0 lies flat in columns 2 to 5; it lands on the last row.
    for (int p = 242; p <= 245; ++p) {
        QVERIFY(w.engine().Board()[std::size_t(p)] != 0);
        QVERIFY(w.engine().Block(p).shown);
    }
    QCOMPARE(w.engine().Score(), 5);
    QCOMPARE(w.form.LabelScore->text(), QStringLiteral("5"));
    QCOMPARE(w.sounds.played, std::vector<std::string>{w.engine().SoundDown()});
    QCOMPARE(w.engine().Piece(), (Piece{24, 22, 23, 25})); // the next piece, just spawned
}

void TestGameWindow::dropThatEndsTheGameOpensTheDialogFromInsideTheDrop() {
    GameWindow w;
    w.key(Qt::Key_F2);
    StepDownTo(w);
    w.engine().PutBlock(50, true); // row 5 taken: the next spawn fails

    bool insideDrop = false;
    QString title;
    bool timerDuringDialog = true;
    OnModal<dialog> gameOver([&](dialog& d) {
        QVERIFY(insideDrop);
        title = d.windowTitle();
        timerDuringDialog = w.form.Timer1.isActive();
        QTest::keyClick(&d, Qt::Key_Return);
    });
    insideDrop = true;
    w.key(Qt::Key_Down);
    insideDrop = false;

    QVERIFY(gameOver.fired);
    QCOMPARE(title, QStringLiteral("你的得分是5"));
    QVERIFY(!timerDuringDialog);
    // Enter started a new game on an empty board.
    QVERIFY(!w.engine().GameOver());
    QCOMPARE(w.engine().Score(), 0);
    QCOMPARE(w.engine().Board()[50], std::int16_t(0));
    QCOMPARE(w.engine().Piece(), (Piece{24, 22, 23, 25}));
    QVERIFY(w.form.Timer1.isActive());
    QCOMPARE(w.form.LabelScore->text(), QStringLiteral("0"));
}

// ---- Pause, minimise, modal windows ----

void TestGameWindow::pauseAndContinue() {
    GameWindow w;
    w.key(Qt::Key_F2);
    const auto expectRunning = [&w](bool running) {
        QCOMPARE(w.form.Timer1.isActive(), running);
        for (QPushButton* b : {w.form.CmdLeft, w.form.CmdRight, w.form.CmdRevert, w.form.CmdDown})
            QCOMPARE(b->isEnabled(), running);
        QCOMPARE(w.form.CmdPause->text(),
                 running ? QStringLiteral("暂停(&P)") : QStringLiteral("继续(&P)"));
    };
    w.key(Qt::Key_F4);
    expectRunning(false);
    const Piece held = w.engine().Piece();
    w.key(Qt::Key_Left);
    w.key(Qt::Key_Up);
    QCOMPARE(w.engine().Piece(), held);
    w.key(Qt::Key_Pause);
    expectRunning(true);
    w.form.CmdPause->trigger();
    expectRunning(false);
    w.form.CmdPause->trigger();
    expectRunning(true);
}

void TestGameWindow::minimiseHaltsAndRestoreResumesOnlyARunningGame() {
    GameWindow w;
    w.key(Qt::Key_F2);
    w.key(Qt::Key_Escape);
    QVERIFY(w.form.isMinimized());
    QVERIFY(!w.form.Timer1.isActive());
    QVERIFY(w.form.CmdLeft->isEnabled());
    w.form.showNormal();
    QVERIFY(w.form.Timer1.isActive());

    w.key(Qt::Key_F4);
    w.form.showMinimized();
    QVERIFY(!w.form.Timer1.isActive());
    w.form.showNormal();
    QVERIFY(!w.form.Timer1.isActive());
    QCOMPARE(w.form.CmdPause->text(), QStringLiteral("继续(&P)"));
}

void TestGameWindow::settingsAndHelpStopTheTimer() {
    GameWindow w;
    w.key(Qt::Key_F2);
    bool timerInSettings = true;
    OnModal<Form2> settings([&](Form2& f) {
        timerInSettings = w.form.Timer1.isActive();
        f.close(); // the close box: nothing resumes
    });
    w.key(Qt::Key_F3);
    QVERIFY(settings.fired);
    QVERIFY(!timerInSettings);
    QVERIFY(!w.form.Timer1.isActive());
    QVERIFY(w.form.CmdLeft->isEnabled()); // halted, not paused: keys still move

    bool timerInAbout = true;
    OnModal<frmAbout> about([&](frmAbout& a) {
        timerInAbout = w.form.Timer1.isActive();
        a.CommandButton1->click();
    });
    w.key(Qt::Key_F1);
    QVERIFY(about.fired);
    QVERIFY(!timerInAbout);
    QVERIFY(w.form.Timer1.isActive());
}

// ---- Questions and messages ----

void TestGameWindow::exitAsksFirst() {
    GameWindow w;
    ScriptedMessages messages;
    messages.answers = {seams::Answer::Cancel, seams::Answer::Ok};
    w.key(Qt::Key_F2);
    w.key(Qt::Key_F5);
    QCOMPARE(messages.asked.size(), 1);
    const seams::Message& asked = messages.asked.front();
    QCOMPARE(asked.text, QStringLiteral("确认要退出吗？"));
    QCOMPARE(asked.title, QStringLiteral("确认吗？"));
    QCOMPARE(asked.buttons, seams::Buttons::OkCancel);
    QCOMPARE(asked.icon, seams::Icon::Information);
    QVERIFY(w.form.isVisible());
    QVERIFY(w.form.Timer1.isActive());

    w.form.cmdexit->trigger();
    QCOMPARE(messages.asked.size(), 2);
    QVERIFY(!w.form.isVisible());
}

void TestGameWindow::pictureShowsTheWelcomeMessage() {
    GameWindow w;
    ScriptedMessages messages;
    QTest::mouseClick(w.form.Picture3, Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 1);
    QString home = QStringLiteral(PORTAL_BASE_URL);
    home.chop(1);
    QCOMPARE(messages.asked[0].text, QStringLiteral("欢迎访问Velantrix在线:\r\n\r\n") + home +
                                         QStringLiteral("\r\n\r\n\r\n\r\n"
                                                        "------Velantrix产业信息化研究办公室"));
    QCOMPARE(messages.asked[0].title, QStringLiteral("Brickvane"));
    QCOMPARE(messages.asked[0].buttons, seams::Buttons::Ok);
}

void TestGameWindow::boardRepaintsOnlyWhatChanged() {
    GameWindow w;
    w.key(Qt::Key_F2);
    w.form.Timer1.stop();
    StepDownTo(w);
    QVERIFY(w.form.Picture1->Sync().isEmpty()); // the window is up to date

    const int cellPx = twips::toPixels(CellSize);
    const auto centre = [&](int position) {
        const CellPlace place = w.engine().BlockPlace(position);
        return QPoint(twips::toPixels(place.left) + cellPx / 2,
                      twips::toPixels(place.top) + cellPx / 2);
    };
    const int pivot = w.engine().Piece()[0];
    QImage image = w.form.Picture1->grab().toImage();
    QCOMPARE(image.pixelColor(centre(pivot)), QColor(Qt::white));
    QCOMPARE(image.pixelColor(centre(pivot + 50)), w.form.BoardBackColor());

    w.engine().PutBlock(200, true, 0x0000FF);
    const QRegion dirty = w.form.Picture1->Sync();
    const CellPlace place = w.engine().BlockPlace(200);
    QCOMPARE(dirty, QRegion(twips::rect(place.left, place.top, CellSize, CellSize)));
    image = w.form.Picture1->grab().toImage();
    QCOMPARE(image.pixelColor(centre(200)), QColor(Qt::red));

    // The preview shows the next piece (shape 0 again) in its middle column.
    const QImage preview = w.form.Picture2->grab().toImage();
    const CellPlace middle = PreviewCellPlace(2 * PreviewSide + 2);
    QCOMPARE(preview.pixelColor(twips::toPixels(middle.left) + cellPx / 2,
                                twips::toPixels(middle.top) + cellPx / 2),
             QColor(Qt::white));
}

QTEST_MAIN(TestGameWindow)
#include "test_game_window.moc"
