// The game's windows on the offscreen platform: keys, the timer, pause and
// minimise, resizing to the board, the settings window, the about box and the
// game-over dialog, with scripted message boxes and the platform's colour
// dialog; what a screen reader is told; the sounds; and the portal the
// environment names.
#include "FittedCaptionBox.h"
#include "GameAboutBox.h"
#include "GameOverDialog.h"
#include "GameSeams.h"
#include "GameTexts.h"
#include "GameTwips.h"
#include "GameWindow.h"
#include "KeyMap.h"
#include "Portal.h"
#include "SettingsWindow.h"
#include "WaveSounds.h"
#include "WidgetLook.h"

#include <QAccessible>
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtTest>

using namespace brickvane;

namespace {

using Cells = std::array<int, 4>;
constexpr std::array<int, 5> DefaultKeys{37, 39, 40, 38, 96};

// Message boxes answered from a script, then with OK; what each asked is kept.
struct ScriptedMessages {
    QList<seams::Message> asked;
    QList<seams::Answer> answers;
    seams::MessageHandler previous = seams::setMessageHandler([this](const seams::Message& m) {
        asked << m;
        return answers.isEmpty() ? seams::Answer::Ok : answers.takeFirst();
    });
    ~ScriptedMessages() { seams::setMessageHandler(previous); }
    QString said(int i) const { return asked.value(i).text + '|' + asked.value(i).title; }
};

// Runs `act` on the next `times` modal dialogs of type T once they show; the
// handler that opened one is still inside its exec() then.
template <typename T> struct OnModal {
    explicit OnModal(std::function<void(T&)> act, int times = 1) {
        QObject::connect(&poll, &QTimer::timeout, [this, act, times] {
            auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
            if (modal && modal->isVisible() && fired < times && ++fired)
                act(*modal);
        });
        poll.start(10);
    }
    int fired = 0;
    QTimer poll;
};

// A shown, active game window whose pieces are all the flat bar (every roll
// the first choice) and whose sounds are recorded.
struct ScriptedGame : SoundSink {
    std::vector<std::string> played; // before the window, which may play to the last
    GameWindow form;

    ScriptedGame() {
        form.SetSoundSink(this);
        engine().SetRandomSource([] { return 0.0; });
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    void Play(const std::string& path) override { played.push_back(path); }
    Engine& engine() { return form.engine(); }
    Cells piece() { return engine().Piece(); }
    // The timer (T), the move buttons (B), the pause command (P), minimised
    // (M), then the pause command's caption.
    QString state() {
        return QString(form.Timer1.isActive() ? "T" : "-") +
               (form.CmdLeft->isEnabled() ? "B" : "-") + (form.CmdPause->isEnabled() ? "P" : "-") +
               (form.isMinimized() ? "M" : "-") + form.CmdPause->text();
    }
    // Presses `keys` in turn in the window, active again as a window manager
    // makes it once a dialog has closed ("min" and "normal": the window
    // manager's minimise and restore). A dialog they open is answered with
    // `answer`, a button's text, a key or "x" for its close box. Gives what the
    // dialog showed (title, Label1, the window's state meanwhile), then the state.
    QString step(const QString& keys, const QString& answer = {}) {
        QString shown;
        OnModal<QDialog> dialog([&](QDialog& d) {
            const auto* label = d.findChild<QLabel*>("Label1");
            shown =
                '[' + d.windowTitle() + '|' + (label ? label->text() : "") + '|' + state() + ']';
            for (QPushButton* button : d.findChildren<QPushButton*>())
                if (button->text() == answer)
                    return button->click();
            answer == "x" ? void(d.close()) : QTest::keySequence(&d, QKeySequence(answer));
        });
        for (const QString& name : keys.split(' ')) {
            if (name == "min" || name == "normal") {
                name == "min" ? form.showMinimized() : form.showNormal();
                continue;
            }
            QApplication::setActiveWindow(&form);
            const QKeyCombination key = QKeySequence(name)[0];
            QTest::keyClick(&form, key.key(), key.keyboardModifiers());
        }
        return shown + state();
    }
    // Starts a game and steps the bar (flat in row 2) down to `row` with the
    // numeric pad's 0; from row 5 on it may move sideways, from row 7 on turn too.
    void startAndStepTo(int row) {
        step("F2");
        form.Timer1.stop(); // only the keys move the piece here
        engine().KeyStep = vk::NumPad0;
        for (int i = 0; i < 40 && engine().Piece()[0] / 10 < row; ++i)
            step("Num+0");
        QCOMPARE(engine().Piece()[0] / 10, row);
    }
};

std::array<int, 5> Keys(const Engine& e) {
    return {e.KeyLeft, e.KeyRight, e.KeyDrop, e.KeyRotate, e.KeyStep};
}

// What a screen reader is told the control is called and described as, and
// the text of the label named as its label.
QString readOut(QWidget* control) {
    const auto* face = QAccessible::queryAccessibleInterface(control);
    QString text = face->text(QAccessible::Name) + '|' + face->text(QAccessible::Description);
    for (const auto& [other, relation] : face->relations(QAccessible::Label))
        if (auto* label = qobject_cast<QLabel*>(other->object()))
            text += '|' + label->text();
    return text;
}

} // namespace

class TestGameWindows : public QObject {
    Q_OBJECT

private slots:
    void nothingMovesBeforeTheFirstStartThenTheTimerRunsUnlessHaltedAndExitAsks() {
        ScriptedGame w;
        // The about box's OK resumes nothing before a game.
        QCOMPARE(w.step("Left Down Up F4 Pause Num+0 F1", "OK"),
                 "[Brickvane小游戏||----暂停(&P)]----暂停(&P)");
        QVERIFY(!w.engine().GameExists() && w.engine().Revision() == 0 && w.played.empty());

        QCOMPARE(w.step("F2"), "TBP-暂停(&P)");
        QCOMPARE(w.form.cmdStart->text() + QString::number(w.form.Timer1.interval()),
                 "从新开始(&Restart)55");
        const Cells spawned = w.piece();
        QTRY_VERIFY_WITH_TIMEOUT(w.piece() != spawned, 10000);

        // Pause, minimise and modal windows halt the timer; restoring resumes
        // only a game that was not paused; Esc is the boss key.
        QCOMPARE(w.step("F4"), "--P-继续(&P)");
        const Cells held = w.piece();
        QVERIFY(w.step("Left Up min normal") == "--P-继续(&P)" && w.piece() == held);
        QCOMPARE(w.step("Pause Esc"), "-BPM暂停(&P)");
        QCOMPARE(w.step("normal"), "TBP-暂停(&P)");
        w.form.CmdPause->trigger(); // paused: the about box's OK resumes all the same
        QCOMPARE(w.step("F1", "OK"), "[Brickvane小游戏||--P-继续(&P)]TBP-暂停(&P)");
        QCOMPARE(w.step("F1", "x"), "[Brickvane小游戏||-BP-暂停(&P)]-BP-暂停(&P)");
        w.form.ResumeGame(); // running again, then halted by the settings' close box
        QCOMPARE(w.step("F3", "x"), "[设置....|行数|-BP-暂停(&P)]-BP-暂停(&P)");

        // Exit asks first; the picture welcomes.
        ScriptedMessages messages;
        messages.answers = {seams::Answer::Ok, seams::Answer::Cancel}; // then OK
        QTest::mouseClick(w.form.Picture3, Qt::LeftButton);
        w.step("F5");
        QCOMPARE(messages.said(0) + messages.said(1),
                 "欢迎访问Velantrix在线:\r\n\r\n" + QStringLiteral(PORTAL_BASE_URL).chopped(1) +
                     "\r\n\r\n\r\n\r\n------Velantrix产业信息化研究办公室|Brickvane"
                     "确认要退出吗？|确认吗？");
        QVERIFY(messages.asked[1].buttons == seams::Buttons::OkCancel &&
                messages.asked[1].icon == seams::Icon::Information && w.form.isVisible());
        w.form.cmdexit->trigger();
        QVERIFY(messages.asked.size() == 3 && !w.form.isVisible());
    }

    // Which key wins: the game keys only while the buttons are enabled, the
    // step key always, F3 and Esc before any of them; from whatever control
    // has the focus. Keys accepted in the settings show again and work; the
    // defaults are in force at once.
    void keysAndTheirPrecedence() {
        QString codes;
        for (const QString& name :
             QStringLiteral("A Z 0 Num+0 Num+9 Space Return Num+Enter F5 Pause Tab").split(' ')) {
            const QKeyCombination key = QKeySequence(name)[0];
            codes += QString::number(VirtualKeyOf(key.key(), key.keyboardModifiers())) + ' ';
        }
        QCOMPARE(codes, "65 90 48 96 105 32 13 13 116 19 0 ");

        // step key, keys pressed -> moved: -1 left, 10 down, 0 nothing, 1 turned
        const std::tuple<int, const char*, int> cases[] = {
            {96, "Left", -1},    {96, "F4 Left", 0}, {96, "Up", 1},        {37, "Left", -1},
            {37, "F4 Left", 10}, {38, "Up", 10},     {13, "F4 Return", 10}};
        ScriptedGame w;
        for (const auto& [keyStep, pressed, moved] : cases) {
            w.startAndStepTo(8);
            w.engine().KeyStep = keyStep; // a step key on another key acts as the earlier row
            const Cells before = w.piece();
            w.step(pressed);
            const int pivotMoved = w.piece()[0] - before[0];
            const bool turned = !pivotMoved && w.piece() != before;
            QVERIFY2(turned ? moved == 1 && w.form.Picture1->hasFocus()
                            : pivotMoved == moved && moved != 1,
                     pressed);
        }

        w.startAndStepTo(5);
        w.engine().KeyStep = vk::Space;
        int pivot = w.piece()[0];
        for (QWidget* focus : std::initializer_list<QWidget*>{w.form.CmdRight, w.form.CmdLeft}) {
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Left);
            QTest::keyClick(focus, Qt::Key_Space); // the step key, not a click of the button
        }
        QCOMPARE(w.piece()[0], pivot + 2 * 10 - 2);
        pivot = w.piece()[0];
        w.engine().KeyLeft = vk::F3;
        w.engine().KeyRight = vk::Escape;
        QCOMPARE(w.step("F3", "继续游戏"), "[设置....|行数|-BP-暂停(&P)]TBP-暂停(&P)");
        QVERIFY(w.step("Esc") == "-BPM暂停(&P)" && w.piece()[0] == pivot);
        w.step("normal");

        {
            SettingsWindow settings(w.form);
            settings.combosetting[0]->setCurrentText(QStringLiteral("Enter"));
            settings.CmdAccept->click();
            settings.Command1->click();
        }
        SettingsWindow again(w.form);
        QCOMPARE(again.combosetting[0]->currentText(), QStringLiteral("Enter"));
        w.startAndStepTo(5);
        pivot = w.piece()[0];
        w.step("Return");
        QCOMPARE(w.piece()[0], pivot - 1);
        again.CmdDefault->click();
        QCOMPARE(Keys(w.engine()), DefaultKeys);
        again.Command1->click();
        QCOMPARE(Keys(w.engine()), DefaultKeys);
    }

    // The board and the preview draw the engine's cells. A drop whose landing
    // ends the game opens the dialog from inside the drop: Enter and the close
    // box start a new game, Esc ends the program.
    void boardPreviewAndTheGameOverDialog() {
        ScriptedGame w;
        w.startAndStepTo(5);
        const auto centre = [](CellPlace place) {
            return QPoint(twips::toPixels(place.left + CellSize / 2),
                          twips::toPixels(place.top + CellSize / 2));
        };
        w.engine().PutBlock(200, true, 0x0000FF);
        const CellPlace place = w.engine().BlockPlace(200);
        QCOMPARE(w.form.Picture1->Sync(), // only the changed cell
                 QRegion(twips::rect(place.left, place.top, CellSize, CellSize)));
        const QImage board = w.form.Picture1->grab().toImage();
        QCOMPARE(board.pixelColor(centre(place)), QColor(Qt::red));
        QCOMPARE(board.pixelColor(centre(w.engine().BlockPlace(w.piece()[0]))), QColor(Qt::white));
        QCOMPARE(board.pixelColor(centre(w.engine().BlockPlace(210))), w.form.BoardBackColor());
        QCOMPARE(w.form.Picture2->grab().toImage().pixelColor(centre(PreviewCellPlace(12))),
                 QColor(Qt::white)); // the next bar's pivot, in the middle
        w.step("Down");              // repeats until the piece lands
        QCOMPARE(w.form.LabelScore->text(), QStringLiteral("5"));
        QCOMPARE(w.played, std::vector<std::string>{w.engine().SoundDown()});

        int ends = 0;
        const seams::Action previous = seams::setEndProgram([&] { ++ends; });
        for (const char* answer : {"Return", "Esc", "x"}) {
            w.startAndStepTo(5);
            w.engine().PutBlock(50, true); // row 5 taken: the next spawn fails
            w.form.Timer1.start();         // the dialog stops it
            const bool newGame = answer[0] != 'E';
            QCOMPARE(w.step("Down", answer),
                     "[你的得分是5|游戏结束了！工作第一，请在工作之余游戏！还要继续玩吗？|-BP-"
                     "暂停(&P)]" +
                         QString(newGame ? "TBP-暂停(&P)" : "-BP-暂停(&P)"));
            QVERIFY(QString::fromStdString(w.played.back()).endsWith(QStringLiteral("/Die.wav")));
            QVERIFY(std::exchange(ends, 0) == !newGame && w.engine().GameOver() == !newGame);
            QVERIFY(!newGame || (w.engine().Score() == 0 && !w.engine().Block(50).shown));
        }
        seams::setEndProgram(previous);
    }

    // ---- Settings ----

    // The platform's colour dialog, cancelled after a colour was clicked in it,
    // leaves the preview as it was; the board takes the preview's colour when
    // the window closes, and nothing else. Keys that repeat another are
    // refused, but for the step key.
    void theColourComesWithClosingTheSettingsAndDuplicateKeysAreRefused() {
        GameWindow form;
        form.NewGame();
        form.StopTimer(); // as the settings command does
        form.SetBoardBackColor(QColor(0, 0, 90));
        QList<QColor> asked;
        OnModal<QColorDialog> pick(
            [&](QColorDialog& d) {
                asked << d.currentColor();
                d.setCurrentColor(asked.size() == 2 ? QColor(1, 2, 3) : QColor(Qt::green));
                asked.size() == 2 ? d.accept() : d.reject();
            },
            3);
        SettingsWindow settings(form);
        settings.show();
        settings.CmdChgColor->click();
        settings.CmdChgColor->click();
        QTest::mouseClick(settings.LabelPreView, Qt::LeftButton);
        QCOMPARE(asked, (QList<QColor>{QColor(0, 0, 90), QColor(0, 0, 90), QColor(1, 2, 3)}));
        QCOMPARE(form.BoardBackColor(), QColor(0, 0, 90)); // not before the window closes

        ScriptedMessages messages;
        // key box, the box whose key it takes, refused
        const int cases[][3] = {{3, 0, 1}, {1, 0, 1}, {2, 3, 1}, {4, 2, 0}, {4, 0, 0}};
        for (const auto& [box, copyOf, refused] : cases) {
            settings.CmdDefault->click();
            messages.asked.clear();
            settings.combosetting[std::size_t(box)]->setCurrentIndex(
                settings.combosetting[std::size_t(copyOf)]->currentIndex());
            settings.CmdAccept->click();
            std::array<int, 5> expected = DefaultKeys;
            expected[std::size_t(box)] = DefaultKeys[std::size_t(refused ? box : copyOf)];
            QCOMPARE(Keys(form.engine()), expected);
            QCOMPARE(messages.said(0), refused ? QStringLiteral("有键重复了！|错误！") : "|");
        }
        settings.ComboRows->setCurrentText(QStringLiteral("20"));
        settings.close();
        QCOMPARE(form.BoardBackColor(), QColor(1, 2, 3));
        QVERIFY(form.engine().BuiltCols() == 10 && !form.Timer1.isActive());
    }

    // ComboRows, beside "列数", holds the column count and ComboCols, beside
    // "行数", the visible row count: each must reach its own setting. The level
    // list shows the level reached, not the one to start at; keys not accepted
    // are lost. Each list and the slider are read with their captions.
    void settingsRestartTheGameWithTheirBoard() {
        const auto items = [](QComboBox* box) { // first and last
            return box->itemText(0) + '-' + box->itemText(box->count() - 1) + ' ';
        };
        // columns, visible rows, upgrade step
        const int cases[][3] = {{14, 27, 1000}, {20, 20, 1500}, {10, 30, 2000}};
        for (const auto& [cols, visibleRows, step] : cases) {
            GameWindow game;
            Engine& e = game.engine();
            std::tie(e.BoardCols, e.BoardRows, e.StartLevel) = std::tuple(16, 28, 4);
            game.NewGame();
            e.StartLevel = 1;
            SettingsWindow settings(game);
            QString seen = settings.windowTitle() + ' ' + items(settings.ComboRows) +
                           items(settings.ComboCols) + items(settings.ComboLevel) +
                           QString::number(settings.SliderUpgrade->minimum()) + '-' +
                           QString::number(settings.SliderUpgrade->maximum()) + ' ';
            // Each control's accessible name, then what a screen reader is told.
            for (QWidget* control : std::initializer_list<QWidget*>{
                     settings.ComboRows, settings.ComboCols, settings.ComboLevel,
                     settings.SliderUpgrade, settings.combosetting[0], settings.combosetting[4]})
                seen += control->accessibleName() + ' ' + readOut(control) + ", ";
            QCOMPARE(
                seen,
                "设置.... 10-20 20-30 1-9 1000-2000 列数 16||列数, 行数 23||行数, 等级 4||等级, "
                "升级频率 升级频率|1000分|升级频率, 左移 Left||左移, "
                "单步下移 NumPad0||单步下移, ");
            settings.ComboRows->setCurrentText(QString::number(cols));
            settings.ComboCols->setCurrentText(QString::number(visibleRows));
            settings.combosetting[0]->setCurrentText(QStringLiteral("A"));
            settings.SliderUpgrade->setValue(step);
            QCOMPARE(settings.SliderUpgrade->toolTip(), QString::number(step) + "分");
            settings.CmdOk->click();
            QCOMPARE(QList<int>({e.BoardCols, e.BoardRows, e.BuiltCols(), e.BuiltRows(), e.Level(),
                                 e.UpgradeStep, game.Timer1.isActive()}),
                     QList<int>({cols, visibleRows + 5, cols, visibleRows + 5, 4, step, 1}));
            QCOMPARE(Keys(e), DefaultKeys);
        }
    }

    // ---- Drawing, the about box and sounds ----

    // The shapes a user meets in a folder of sounds: only a whole wave file
    // plays; a player made for any other would keep the program from ending.
    void onlyWholeWaveFilesPlay() {
        QFile source(QStringLiteral(GAME_RESOURCE_DIR "/Down.wav"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray whole = source.readAll();
        const std::pair<const char*, QByteArray> shapes[] = {
            {"whole", whole},
            {"empty", {}},
            {"RIFF header only", whole.left(12)},
            {"headers, empty data chunk", whole.left(36) + "data" + QByteArray(4, '\0')},
            {"cut short in the data", whole.left(whole.size() / 2)},
            {"cut short in the format chunk", whole.left(20)},
            {"not a wave", QByteArray("RIFF\x04\0\0\0AVI ")}};
        QTemporaryDir folder;
        WaveSounds sounds;
        for (const auto& [shape, bytes] : shapes) {
            QFile file(folder.filePath(QString::fromLatin1(shape) + ".wav"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            QVERIFY2(IsCompleteWave(file.fileName()) == (bytes == whole), shape);
            sounds.Play(file.fileName().toStdString());
        }
        QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1);
    }

    // The window fits a new board; a screen reader is told what it shows.
    // Every control of the game's windows stands, reads and looks as designed.
    // Then the 195-twip labels, shorter than the CJK face's line: their text
    // must still show whole, inside the box, with no control moved. The
    // settings' group captions end above their first row (列数, 左移). The
    // about box shows its icon and cursor, or opens without them. Last, as it
    // changes the portal: Brickvane names the one Orvanta shows,
    // ORVANTA_PORTAL_URL, under the same rules (the slash added here).
    void theWindowFitsTheBoardReadsInWordsShowsSmallLabelsWholeAndNamesThePortal() {
        GameWindow form;
        QString read = form.CmdLeft->text(); // the caption stays
        for (QWidget* control : std::initializer_list<QWidget*>{
                 form.Picture1, form.Picture2, form.CmdLeft, form.CmdRevert, form.CmdRight,
                 form.CmdDown, form.LabelLevel, form.LabelScore})
            read += ' ' + readOut(control).section('\n', 0, 0); // the preview's first row
        QCOMPARE(read, "<-- 游戏板|空 下一块|□□□□□ 左移| 旋转| 右移| 下移| 等级||等级 得分||得分");
        // The captions, and the menu bar: items with their shortcuts, a menu's after a bar.
        QStringList seen{form.LabNext->text(),  form.CmdLeft->text(), form.CmdRevert->text(),
                         form.CmdRight->text(), form.CmdDown->text(), form.Label3->text(),
                         form.Label4->text()};
        for (const QAction* item : form.menuBar()->actions()) {
            seen << item->text();
            for (const QAction* sub : item->menu() ? item->menu()->actions() : QList<QAction*>())
                seen.last() +=
                    '|' +
                    (sub->isSeparator() ? "-" : sub->text() + ' ' + sub->shortcut().toString());
        }
        QCOMPARE(seen.join(", "), "下一块:, <--, (), -->, V, 等级, 得分, "
                                  "文件(&F)|开始(&Start) F2|-|退出(&Exit) F5, 设置(&S), 暂停(&P), "
                                  "关于(&A)|帮助(&Help) F1");

        // As designed, in twips; they move with the board's width, the picture stays.
        const std::pair<QWidget*, QRectF> moving[] = {
            {form.CmdDown, {3285, 3135, 435, 375}},    {form.CmdLeft, {2805, 2715, 435, 375}},
            {form.CmdRight, {3765, 2715, 435, 375}},   {form.CmdRevert, {3285, 2715, 435, 375}},
            {form.LabNext, {2955, 75, 1050, 270}},     {form.Label3, {2895, 1965, 375, 195}},
            {form.Label4, {2895, 2325, 375, 195}},     {form.LabelLevel, {3315, 1905, 675, 315}},
            {form.LabelScore, {3315, 2265, 675, 315}}, {form.Picture2, {2790, 420, 1305, 1305}}};
        form.engine().BoardCols = 20;
        QVERIFY(form.NewGame());
        QCOMPARE(twips::placeOf(form.Picture1), QRectF(30, 30, 4880, 4875));
        QCOMPARE(form.OuterTwips(), QSizeF(7035, 5595));
        // The designed client area, wider by the board's growth.
        QCOMPARE(form.centralWidget()->size(), twips::size(4545 + 2400, 4935));
        for (const auto& [control, designed] : moving)
            QCOMPARE(control->geometry(), twips::rect(designed.translated(2400, 0)));
        QCOMPARE(twips::placeOf(form.Picture3), QRectF(2650, 3560, 1815, 1400));

        form.engine().BoardCols = 10;
        form.engine().BoardRows = 35;
        QVERIFY(form.NewGame());
        QCOMPARE(form.OuterTwips(), QSizeF(4635, 30 * 240 + 75 + 720));
        for (const auto& [control, designed] : moving)
            QCOMPARE(twips::placeOf(control), designed);

        // The board row by row (30 shown, 5 hidden above), a block bottom right.
        form.engine().PutBlock(form.engine().PositionCount() - 1, true);
        form.Picture1->Sync();
        const QStringList rows = readOut(form.Picture1).section('|', 1).split('\n');
        QVERIFY(rows.size() == 30 && rows.last() == QStringLiteral("□□□□□□□□□■"));
        QCOMPARE(readOut(form.Picture2).count(QChar(0x25A0)), 4); // the next piece's four cells

        const QRect window = form.geometry();
        QVERIFY(!form.NewGame()); // the same size: nothing rebuilt or moved
        QVERIFY(form.geometry() == window && !form.engine().Block(349).shown);

        form.show();
        SettingsWindow settings(form);
        GameAboutBox box(form);
        GameOverDialog over(form);
        QStringList keys; // what a key box offers
        for (int i = 0; i < settings.combosetting[3]->count(); ++i)
            keys << settings.combosetting[3]->itemText(i);
        QCOMPARE(keys.join(' '), "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z "
                                 "0 1 2 3 4 5 6 7 8 9 Left Up Right Down Space Enter NumPad0 "
                                 "NumPad1 NumPad2 NumPad3 NumPad4 NumPad5 NumPad6 NumPad7 "
                                 "NumPad8 NumPad9");
        // Every control of the other windows where the design puts it (twips, in
        // its container), then the colours and type the design gives them.
        const std::pair<QWidget*, QRectF> designed[] = {
            {settings.Frame1, {0, 0, 2460, 2475}},
            {settings.Label2, {180, 270, 600, 225}},
            {settings.ComboRows, {960, 180, 1380, 300}},
            {settings.Label1, {180, 585, 600, 225}},
            {settings.ComboCols, {960, 570, 1380, 300}},
            {settings.Label9, {180, 960, 600, 225}},
            {settings.ComboLevel, {960, 960, 1380, 300}},
            {settings.Label4, {120, 1440, 735, 195}},
            {settings.SliderUpgrade, {900, 1440, 1455, 210}},
            {settings.CmdChgColor, {180, 1860, 750, 405}},
            {settings.LabelPreView, {1080, 1740, 1215, 630}},
            {settings.Frame2, {2520, 0, 2745, 2475}},
            {settings.Label5, {120, 240, 510, 210}},
            {settings.combosetting[0], {1020, 180, 1605, 300}},
            {settings.Label6, {120, 585, 465, 210}},
            {settings.combosetting[1], {1020, 540, 1605, 300}},
            {settings.Label7, {90, 960, 510, 210}},
            {settings.combosetting[2], {1020, 900, 1605, 300}},
            {settings.Label8, {120, 1320, 510, 210}},
            {settings.combosetting[3], {1020, 1260, 1605, 300}},
            {settings.labelstepdown, {120, 1680, 855, 255}},
            {settings.combosetting[4], {1020, 1680, 1605, 300}},
            {settings.CmdDefault, {75, 2040, 855, 315}},
            {settings.CmdAccept, {1080, 2040, 1275, 315}},
            {settings.CmdOk, {180, 2580, 1965, 390}},
            {settings.Command1, {2940, 2580, 1965, 390}},
            {box.picIcon, {75, 165, 540, 540}},
            {box.lblTitle, {735, 180, 3885, 360}},
            {box.lblDescription, {735, 840, 3825, 435}},
            {box.Label2, {225, 1605, 4410, 675}},
            {box.Label3, {720, 2640, 3615, 255}},
            {box.CommandButton1, {1800, 3225, 945, 360}},
            {over.Label1, {300, 135, 2400, 780}},
            {over.OKButton, {315, 1080, 990, 315}},
            {over.CancelButton, {1440, 1080, 990, 315}}};
        for (const auto& [control, place] : designed)
            QCOMPARE(control->geometry(), twips::rect(place));
        const std::pair<QWidget*, const char*> looks[] = {
            {form.LabNext, "text #c04000 宋体 12pt bold"},
            {form.LabelLevel, "text #0000ff 宋体 10.5pt bold"},
            {form.LabelScore, "text #0000ff 宋体 10.5pt bold"},
            {&box, "on #ffc0ff 宋体 9pt"},
            {box.picIcon, "on #ffc080 宋体 9pt"},
            {box.lblTitle, "text #0000ff on #ffc080 宋体 12pt bold"},
            {box.lblDescription, "text #0000ff on #ffc080 宋体 10.5pt"},
            {box.Label2, "text #0000ff 宋体 10.5pt"},
            {box.Label3, "text #0000ff on #ffc080 宋体 9pt bold"},
            {over.Label1, "宋体 10.5pt"},
            {over.OKButton, "宋体 9pt"}};
        for (const auto& [control, look] : looks)
            QCOMPARE(lookOf(control), look);
        const QStringList captions{
            settings.Frame1->title(),    settings.CmdChgColor->text(), settings.Frame2->title(),
            settings.CmdDefault->text(), settings.CmdAccept->text(),   settings.CmdOk->text(),
            settings.Command1->text(),   box.lblTitle->text(),         box.lblDescription->text(),
            box.Label2->text(),          box.CommandButton1->text(),   over.OKButton->text(),
            over.CancelButton->text()};
        QCOMPARE(
            captions.join('|'),
            "设置框架|背景色|设置按键|默认|记住我的选择|确认从新开始|继续游戏|Brickvane小游戏|"
            "  工作第一，请在工作之余玩耍！祝你工作轻轻松松·|键盘设置：F1 帮助 F2 开始游戏 F3 "
            "设置          F4 暂停 F5 退出游戏 Esc 老板键             移动就由你自己设定吧!|OK|"
            "确定|取消");
        QCOMPARE(QList<QSize>({settings.size(), box.size(), over.size()}),
                 QList<QSize>(
                     {twips::size(5580, 3135), twips::size(4980, 3795), twips::size(3030, 1635)}));
        // Pixels, from the designed twips.
        const std::pair<QLabel*, QRect> labels[] = {{form.Label3, {193, 131, 25, 13}},
                                                    {form.Label4, {193, 155, 25, 13}},
                                                    {settings.Label4, {8, 96, 49, 13}}};
        for (const auto& [label, designed] : labels) {
            QCOMPARE(label->geometry(), designed);
            const QImage image = label->grab().toImage();
            QRect ink; // clipped glyphs run into the edges of the box
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) <
                        qGray(label->palette().color(QPalette::Window).rgb()) - 80)
                        ink |= QRect(x, y, 1, 1);
            QVERIFY2(!ink.isNull() && ink.top() > 0 && ink.bottom() < image.height() - 1 &&
                         ink.right() < image.width() - 1 && ink.height() > 8 &&
                         ink.width() > label->text().size() * 8,
                     qPrintable(label->text()));
        }
        for (auto [frame, first] :
             {std::pair<QGroupBox*, QWidget*>{settings.Frame1, settings.ComboRows},
              {settings.Frame2, settings.combosetting[0]}}) {
            const QRect ink = static_cast<FittedCaptionBox*>(frame)->captionInk();
            QVERIFY2(ink.bottom() < first->y() && ink.top() >= 0, qPrintable(frame->title()));
        }

        qputenv("ORVANTA_PORTAL_URL", "https://staging.velantrix.com");
        QVERIFY(portal::initFromEnvironment(nullptr));
        form.engine().SetAppFolder(GAME_RESOURCE_DIR);
        GameAboutBox withIcon(form);
        QVERIFY(withIcon.picIcon->pixmap().size() == QSize(32, 32) &&
                withIcon.Label3->cursor().shape() == Qt::BitmapCursor);
        QCOMPARE(withIcon.Label3->text(), "https://staging.velantrix.com");
        QVERIFY(
            texts::game_window::Welcome().contains("\r\n\r\nhttps://staging.velantrix.com\r\n"));
        QTemporaryDir empty;
        form.engine().SetAppFolder(empty.path().toStdString());
        GameAboutBox bare(form);
        bare.show();
        QVERIFY(bare.isVisible() && bare.picIcon->pixmap().isNull() &&
                bare.Label3->cursor().shape() == Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestGameWindows)
#include "test_game_windows.moc"
