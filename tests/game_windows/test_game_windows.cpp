// The game's windows on the offscreen platform: keys, the timer, pause and
// minimise, resizing to the board, the settings window, the about box and the
// game-over dialog, with scripted message boxes and colour dialogs.
#include "GameAboutBox.h"
#include "GameOverDialog.h"
#include "GameSeams.h"
#include "GameTwips.h"
#include "GameWindow.h"
#include "KeyMap.h"
#include "SettingsWindow.h"
#include "WaveSounds.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>

using namespace brickvane;

namespace {

using Cells = std::array<int, 4>;
constexpr std::array<int, 5> DefaultKeys{37, 39, 40, 38, 96};

// Stands in for a seam while it lives: answers from a script, then with
// `fallback`, and keeps what was asked.
template <typename Handler, Handler (*Set)(Handler), typename Asked, typename Answer>
struct Scripted {
    QList<Asked> asked;
    std::deque<Answer> answers;
    Answer fallback{};
    Handler previous = Set([this](const Asked& question, auto...) {
        asked << question;
        const Answer answer = answers.empty() ? fallback : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    });
    ~Scripted() { Set(std::move(previous)); }
};
using ScriptedMessages =
    Scripted<seams::MessageHandler, seams::setMessageHandler, seams::Message, seams::Answer>;
// Nothing stands for a cancelled colour dialog.
using ScriptedColours =
    Scripted<seams::ColourPicker, seams::setColourPicker, QColor, std::optional<QColor>>;

struct RecordingEnd {
    int calls = 0;
    seams::Action previous = seams::setEndProgram([this] { ++calls; });
    ~RecordingEnd() { seams::setEndProgram(std::move(previous)); }
};

// Runs `act` on the next modal dialog of type T once it shows; the handler
// that opened it is still inside its exec() then.
template <typename T> struct OnModal {
    explicit OnModal(std::function<void(T&)> act) {
        QObject::connect(&poll, &QTimer::timeout, [this, act] {
            auto* modal = dynamic_cast<T*>(QApplication::activeModalWidget());
            if (modal && modal->isVisible() && !fired) {
                poll.stop();
                fired = true;
                act(*modal);
            }
        });
        poll.start(10);
    }
    bool fired = false;
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
    // A key in the game window, active again as a window manager makes it once
    // a dialog has closed.
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QApplication::setActiveWindow(&form);
        QTest::keyClick(&form, k, m);
    }
    // Starts a game and steps the bar (flat in row 2) down to `row` with the
    // step key; from row 5 on it may move sideways, from row 7 on turn too.
    void startAndStepTo(int row) {
        key(Qt::Key_F2);
        form.Timer1.stop(); // only the keys move the piece here
        for (int i = 0; i < 40 && engine().Piece()[0] / 10 < row; ++i)
            key(Qt::Key_0, Qt::KeypadModifier);
        QCOMPARE(engine().Piece()[0] / 10, row);
    }
    bool running() { return form.Timer1.isActive() && form.CmdLeft->isEnabled(); }
};

Cells Shifted(Cells cells, int by) {
    for (int& p : cells)
        p += by;
    return cells;
}

std::array<int, 5> Keys(const Engine& e) {
    return {e.KeyLeft, e.KeyRight, e.KeyDrop, e.KeyRotate, e.KeyStep};
}

} // namespace

class TestGameWindows : public QObject {
    Q_OBJECT

private slots:
    void virtualKeyNumbers() {
        const Qt::KeyboardModifier pad = Qt::KeypadModifier;
        const std::pair<QKeyCombination, int> keys[] = {
            {Qt::Key_A, 65},       {Qt::Key_Z, 90},           {Qt::Key_0, 48},
            {pad | Qt::Key_0, 96}, {pad | Qt::Key_9, 105},    {Qt::Key_Space, 32},
            {Qt::Key_Return, 13},  {pad | Qt::Key_Enter, 13}, {Qt::Key_F5, 116},
            {Qt::Key_Tab, 0}};
        for (auto [key, expected] : keys)
            QCOMPARE(VirtualKeyOf(key.key(), key.keyboardModifiers()), expected);
    }

    void nothingMovesBeforeTheFirstStartThenTheTimerRunsUnlessHaltedAndExitAsks() {
        ScriptedGame w;
        for (Qt::Key k : {Qt::Key_Left, Qt::Key_Down, Qt::Key_Up, Qt::Key_F4, Qt::Key_Pause})
            w.key(k);
        w.key(Qt::Key_0, Qt::KeypadModifier);
        OnModal<GameAboutBox> about([](GameAboutBox& a) { a.CommandButton1->click(); });
        w.key(Qt::Key_F1); // the about box's OK resumes nothing before a game
        QVERIFY(about.fired);
        for (QTimer* timer : w.form.findChildren<QTimer*>())
            QVERIFY(!timer->isActive());
        QVERIFY(!w.engine().GameExists() && w.engine().Revision() == 0 && w.played.empty());
        QVERIFY(!w.form.CmdLeft->isEnabled() && !w.form.CmdPause->isEnabled());

        w.key(Qt::Key_F2);
        QCOMPARE(w.form.cmdStart->text(), QStringLiteral("从新开始(&Restart)"));
        QCOMPARE(std::chrono::milliseconds(w.form.Timer1.interval()), TickPeriod);
        const Cells spawned = w.piece();
        QTRY_VERIFY_WITH_TIMEOUT(w.running() && w.piece() != spawned, 10000);

        // Pause, minimise and modal windows halt the timer.
        w.key(Qt::Key_F4);
        QVERIFY(!w.form.Timer1.isActive() && !w.form.CmdLeft->isEnabled());
        QCOMPARE(w.form.CmdPause->text(), QStringLiteral("继续(&P)"));
        const Cells held = w.piece();
        w.key(Qt::Key_Left);
        w.key(Qt::Key_Up);
        QCOMPARE(w.piece(), held);
        w.form.showMinimized(); // restoring resumes only a game that was not paused
        w.form.showNormal();
        QVERIFY(!w.form.Timer1.isActive());
        w.key(Qt::Key_Pause);
        QVERIFY(w.running());
        QCOMPARE(w.form.CmdPause->text(), QStringLiteral("暂停(&P)"));
        w.key(Qt::Key_Escape); // the boss key
        QVERIFY(w.form.isMinimized() && !w.form.Timer1.isActive());
        w.form.showNormal();
        QVERIFY(w.running());

        w.form.CmdPause->trigger(); // paused: the about box's OK resumes all the same
        bool timerInAbout = true;
        OnModal<GameAboutBox> ok([&](GameAboutBox& a) {
            timerInAbout = w.form.Timer1.isActive();
            a.CommandButton1->click();
        });
        w.key(Qt::Key_F1);
        QVERIFY(ok.fired && !timerInAbout && w.running());
        OnModal<GameAboutBox> closeBox([](GameAboutBox& a) { a.close(); });
        w.form.cmdhelp->trigger();
        QVERIFY(closeBox.fired && !w.form.Timer1.isActive());
        w.form.ResumeGame(); // running again, then halted by the settings' close box
        OnModal<SettingsWindow> settings([](SettingsWindow& f) { f.close(); });
        w.key(Qt::Key_F3);
        QVERIFY(settings.fired && !w.form.Timer1.isActive() && w.form.CmdLeft->isEnabled());

        // Exit asks first; the picture welcomes.
        ScriptedMessages messages;
        messages.answers = {seams::Answer::Ok, seams::Answer::Cancel}; // then OK
        QTest::mouseClick(w.form.Picture3, Qt::LeftButton);
        const QString home = QStringLiteral(PORTAL_BASE_URL).chopped(1);
        QCOMPARE(messages.asked.value(0).text + messages.asked.value(0).title,
                 "欢迎访问Velantrix在线:\r\n\r\n" + home +
                     "\r\n\r\n\r\n\r\n------Velantrix产业信息化研究办公室Brickvane");
        w.key(Qt::Key_F5);
        QCOMPARE(messages.asked.value(1).text + messages.asked.value(1).title,
                 QStringLiteral("确认要退出吗？确认吗？"));
        QVERIFY(messages.asked[1].buttons == seams::Buttons::OkCancel &&
                messages.asked[1].icon == seams::Icon::Information && w.form.isVisible());
        w.form.cmdexit->trigger();
        QVERIFY(messages.asked.size() == 3 && !w.form.isVisible());
    }

    void newGameResizesTheWindowToTheBoard() {
        GameWindow form;
        const QList<QWidget*> moving{form.CmdDown,    form.CmdLeft, form.CmdRight, form.CmdRevert,
                                     form.LabNext,    form.Label3,  form.Label4,   form.LabelLevel,
                                     form.LabelScore, form.Picture2};
        QList<QRectF> designed;
        for (QWidget* w : moving)
            designed << twips::placeOf(w);
        form.engine().BoardCols = 20;
        QVERIFY(form.NewGame());
        QCOMPARE(twips::placeOf(form.Picture1).width(), 4880.0);
        QCOMPARE(form.OuterTwips(), QSizeF(7035, 5595));
        for (int i = 0; i < moving.size(); ++i)
            QCOMPARE(moving[i]->geometry(), twips::rect(designed[i].translated(2400, 0)));

        form.engine().BoardCols = 10;
        form.engine().BoardRows = 35;
        QVERIFY(form.NewGame());
        QCOMPARE(form.OuterTwips(), QSizeF(4635, 30 * 240 + 75 + 720));
        for (int i = 0; i < moving.size(); ++i)
            QCOMPARE(twips::placeOf(moving[i]), designed[i]);

        form.engine().PutBlock(200, true);
        const QRect window = form.geometry();
        QVERIFY(!form.NewGame()); // the same size: nothing rebuilt or moved
        QVERIFY(form.geometry() == window && !form.engine().Block(200).shown);
    }

    void keyPrecedence() {
        const struct {
            int keyStep;
            Qt::Key pressed;
            bool paused;
            int moved; // -1 left, 10 down, 0 nothing, 1 turned
        } cases[] = {{96, Qt::Key_Left, false, -1}, {96, Qt::Key_Left, true, 0},
                     {96, Qt::Key_Up, false, 1},    {37, Qt::Key_Left, false, -1},
                     {37, Qt::Key_Left, true, 10},  {38, Qt::Key_Up, false, 10},
                     {13, Qt::Key_Return, true, 10}};
        for (const auto& c : cases) { // a step key on another key acts as the earlier row
            ScriptedGame w;
            w.startAndStepTo(8);
            w.engine().KeyStep = c.keyStep;
            if (c.paused)
                w.key(Qt::Key_F4);
            const Cells before = w.piece();
            w.key(c.pressed);
            const bool turned = w.piece()[0] == before[0] && w.piece() != before;
            QVERIFY2(c.moved == 1 ? turned && w.form.Picture1->hasFocus()
                                  : w.piece() == Shifted(before, c.moved),
                     QByteArray::number(&c - cases));
        }
    }

    // A drop whose landing ends the game opens the dialog from inside the drop.
    void gameOverDialog() {
        // Enter and the close box (0) start a new game; Esc ends the program.
        for (int answer : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
            const bool newGame = answer != Qt::Key_Escape;
            ScriptedGame w;
            RecordingEnd end;
            w.startAndStepTo(5);
            w.engine().PutBlock(50, true); // row 5 taken: the next spawn fails
            bool insideDrop = false, timerInDialog = true;
            QString title;
            OnModal<GameOverDialog> gameOver([&](GameOverDialog& d) {
                title = insideDrop ? d.windowTitle() + '|' + d.Label1->text() : QString();
                timerInDialog = w.form.Timer1.isActive();
                answer ? QTest::keyClick(&d, Qt::Key(answer)) : void(d.close());
            });
            insideDrop = true;
            w.key(Qt::Key_Down);
            insideDrop = false;
            QVERIFY(gameOver.fired && !timerInDialog);
            QCOMPARE(title,
                     QStringLiteral(
                         "你的得分是5|游戏结束了！工作第一，请在工作之余游戏！还要继续玩吗？"));
            QVERIFY(QString::fromStdString(w.played.back()).endsWith(QStringLiteral("/Die.wav")));
            QCOMPARE(end.calls, int(!newGame));
            QVERIFY(!w.engine().GameOver() == newGame && w.form.Timer1.isActive() == newGame);
            if (newGame)
                QVERIFY(w.engine().Score() == 0 && !w.engine().Block(50).shown);
        }
    }

    void boardAndPreviewDrawTheEngineCellsThenTheKeysMoveThePiece() {
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

        w.key(Qt::Key_Down); // repeats until the piece lands
        QVERIFY(w.engine().Block(242).shown && w.engine().Block(245).shown); // on the last row
        QCOMPARE(w.form.LabelScore->text(), QStringLiteral("5"));
        QCOMPARE(w.played, std::vector<std::string>{w.engine().SoundDown()});
        QCOMPARE(w.piece(), (Cells{24, 22, 23, 25})); // the next, just spawned

        // Keys come first to the window, whichever control has the focus.
        w.startAndStepTo(5);
        w.engine().KeyStep = vk::Space;
        Cells before = w.piece();
        for (QWidget* focus : std::initializer_list<QWidget*>{w.form.CmdRight, w.form.CmdLeft}) {
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Left);
            QTest::keyClick(focus, Qt::Key_Space); // the step key, not a click of the button
        }
        QCOMPARE(w.piece(), Shifted(before, 2 * 10 - 2));

        before = w.piece(); // F3 and Esc come before the game keys
        w.engine().KeyLeft = vk::F3;
        w.engine().KeyRight = vk::Escape;
        OnModal<SettingsWindow> settings([](SettingsWindow& f) { f.Command1->click(); });
        w.key(Qt::Key_F3);
        QVERIFY(settings.fired);
        w.form.StopTimer();
        w.key(Qt::Key_Escape);
        QVERIFY(w.form.isMinimized());
        QCOMPARE(w.piece(), before);
    }

    // ---- Settings ----

    void acceptedKeysShowAgainDefaultsHoldAndACancelledColourChangesNothing() {
        ScriptedGame w;
        {
            SettingsWindow settings(w.form);
            settings.combosetting[0]->setCurrentText(QStringLiteral("Enter"));
            settings.CmdAccept->click();
            settings.Command1->click();
        }
        SettingsWindow again(w.form);
        QCOMPARE(again.combosetting[0]->currentText(), QStringLiteral("Enter"));
        w.startAndStepTo(5);
        const Cells before = w.piece();
        w.key(Qt::Key_Return);
        QCOMPARE(w.piece(), Shifted(before, -1));

        again.CmdDefault->click();
        QCOMPARE(Keys(w.engine()), DefaultKeys); // in force at once
        again.Command1->click();
        QCOMPARE(Keys(w.engine()), DefaultKeys);

        // A cancelled colour dialog used to put the dialog's own colour into the
        // preview; it leaves the preview, and so the board, as they were.
        // The platform's dialog, cancelled after a colour was clicked in it.
        OnModal<QColorDialog> cancel([](QColorDialog& d) {
            d.setCurrentColor(Qt::green);
            d.reject();
        });
        QCOMPARE(seams::pickColour(QColor(Qt::blue), nullptr), std::nullopt);
        QVERIFY(cancel.fired);
        w.key(Qt::Key_F2);
        w.form.StopTimer(); // as the settings command does
        w.form.SetBoardBackColor(QColor(0, 0, 90));
        ScriptedColours colours;
        colours.answers = {std::nullopt, QColor(1, 2, 3), std::nullopt};
        SettingsWindow settings(w.form);
        settings.show();
        settings.CmdChgColor->click();
        settings.CmdChgColor->click();
        QTest::mouseClick(settings.LabelPreView, Qt::LeftButton);
        QCOMPARE(colours.asked,
                 (QList<QColor>{QColor(0, 0, 90), QColor(0, 0, 90), QColor(1, 2, 3)}));
        QCOMPARE(w.form.BoardBackColor(), QColor(0, 0, 90)); // not before the window closes
        settings.ComboRows->setCurrentText(QStringLiteral("20"));
        settings.close(); // the close box applies the colour and nothing else
        QCOMPARE(w.form.BoardBackColor(), QColor(1, 2, 3));
        QVERIFY(w.engine().BoardCols == 10 && !w.form.Timer1.isActive());
    }

    void duplicateKeysAreRefused() {
        const struct {
            int box, copyOf;
            bool refused;
        } cases[] = {{3, 0, true}, {1, 0, true}, {2, 3, true}, {4, 2, false}, {4, 0, false}};
        for (const auto& c : cases) {
            GameWindow game;
            ScriptedMessages messages;
            SettingsWindow settings(game);
            settings.combosetting[std::size_t(c.box)]->setCurrentIndex(
                settings.combosetting[std::size_t(c.copyOf)]->currentIndex());
            settings.CmdAccept->click();
            std::array<int, 5> expected = DefaultKeys;
            expected[std::size_t(c.box)] = DefaultKeys[std::size_t(c.refused ? c.box : c.copyOf)];
            QCOMPARE(Keys(game.engine()), expected);
            QCOMPARE(messages.asked.size(), int(c.refused));
            QVERIFY(!c.refused || messages.asked[0].text + messages.asked[0].title ==
                                      QStringLiteral("有键重复了！错误！"));
        }
    }

    // ComboRows, beside "列数", holds the column count and ComboCols, beside
    // "行数", the visible row count: each must reach its own setting.
    void boardSizeListsFillTheirOwnSettings() {
        const auto items = [](QComboBox* box) {
            QString texts = box->itemText(0);
            for (int i = 1; i < box->count(); ++i)
                texts += ' ' + box->itemText(i);
            return texts;
        };
        const struct { int cols, visibleRows; } cases[] = {{14, 27}, {20, 20}, {10, 30}};
        for (const auto& c : cases) {
            GameWindow game;
            game.engine().BoardCols = 16; // shown when the window opens
            game.engine().BoardRows = 28;
            SettingsWindow settings(game);
            QCOMPARE(items(settings.ComboRows), QStringLiteral("10 11 12 13 14 15 16 17 18 19 20"));
            QCOMPARE(items(settings.ComboCols), QStringLiteral("20 21 22 23 24 25 26 27 28 29 30"));
            QCOMPARE(settings.ComboRows->currentText() + ' ' + settings.ComboCols->currentText(),
                     QStringLiteral("16 23"));
            settings.ComboRows->setCurrentText(QString::number(c.cols));
            settings.ComboCols->setCurrentText(QString::number(c.visibleRows));
            settings.CmdOk->click();
            const Engine& e = game.engine();
            QCOMPARE(QList<int>({e.BoardCols, e.BoardRows, e.BuiltCols(), e.BuiltRows()}),
                     QList<int>({c.cols, c.visibleRows + 5, c.cols, c.visibleRows + 5}));
        }
    }

    void restartShowsTheRunningLevelAndStoresTheBoard() {
        GameWindow game;
        game.engine().StartLevel = 4;
        game.NewGame();
        game.engine().StartLevel = 1; // the list shows the level reached, not this
        SettingsWindow settings(game);
        QCOMPARE(settings.windowTitle() + settings.ComboLevel->currentText(),
                 QStringLiteral("设置....4"));
        settings.ComboRows->setCurrentText(QStringLiteral("20"));
        settings.combosetting[0]->setCurrentText(QStringLiteral("A")); // not accepted: lost
        settings.SliderUpgrade->setValue(1500);
        QCOMPARE(settings.SliderUpgrade->toolTip(), QStringLiteral("1500分"));
        settings.CmdOk->click();
        QVERIFY(game.engine().BuiltCols() == 20 && game.engine().Level() == 4 &&
                game.Timer1.isActive());
        QVERIFY(game.engine().UpgradeStep == 1500 && Keys(game.engine()) == DefaultKeys);
    }

    // ---- About box and sounds ----

    void aboutBoxLoadsItsFilesOrOpensWithout() {
        GameWindow game;
        game.engine().SetAppFolder(GAME_RESOURCE_DIR);
        GameAboutBox box(game);
        QVERIFY(box.picIcon->pixmap().size() == QSize(32, 32) &&
                box.Label3->cursor().shape() == Qt::BitmapCursor);
        QTemporaryDir empty;
        game.engine().SetAppFolder(empty.path().toStdString());
        GameAboutBox bare(game);
        bare.show();
        QVERIFY(bare.isVisible() && bare.picIcon->pixmap().isNull());
        QCOMPARE(bare.Label3->cursor().shape(), Qt::ArrowCursor);
    }

    // The 195-twip labels are shorter than the CJK face's line: their text
    // must still show whole, inside the box, with no control moved.
    void smallLabelsShowTheirWholeText() {
        GameWindow form;
        form.show();
        SettingsWindow settings(form);
        // Pixels, from the designed twips.
        const std::pair<QLabel*, QRect> labels[] = {{form.Label3, {193, 131, 25, 13}},
                                                    {form.Label4, {193, 155, 25, 13}},
                                                    {settings.Label4, {8, 96, 49, 13}}};
        for (const auto& [label, designed] : labels) {
            QCOMPARE(label->geometry(), designed);
            const QImage image = label->grab().toImage();
            const QColor back = label->palette().color(QPalette::Window);
            QRect ink; // clipped glyphs run into the edges of the box
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < qGray(back.rgb()) - 80)
                        ink |= QRect(x, y, 1, 1);
            QVERIFY2(!ink.isNull() && ink.top() > 0 && ink.bottom() < image.height() - 1 &&
                         ink.right() < image.width() - 1 && ink.height() > 8 &&
                         ink.width() > label->text().size() * 8,
                     qPrintable(label->text()));
        }
    }

    // The shapes a user meets in a folder of sounds: only a whole wave file
    // plays, and a program that tried one still ends.
    void onlyWholeWaveFilesPlayAndTheProgramEnds() {
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
        for (const auto& [shape, bytes] : shapes) {
            const QString path = folder.filePath(QString::fromLatin1(shape) + ".wav");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            const bool plays = bytes == whole;
            QVERIFY2(IsCompleteWave(path) == plays, shape);
            QProcess player;
            player.start(QCoreApplication::applicationFilePath(), {"--play", path});
            QVERIFY2(player.waitForFinished(30000), shape);
            QCOMPARE(player.exitCode(), plays ? 1 : 0); // players made
        }
        WaveSounds sounds;
        sounds.Play("/nonexistent/Die.wav");
        QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
    }
};

// --play FILE: plays one wave file the game's way and ends; the exit code
// counts the players made.
int playAndEnd(int argc, char** argv) {
    QApplication app(argc, argv);
    WaveSounds sounds;
    sounds.Play(argv[2]);
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    QApplication::exec();
    return int(sounds.findChildren<QSoundEffect*>().size());
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--play") == 0)
        return playAndEnd(argc, argv);
    QApplication app(argc, argv);
    TestGameWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_game_windows.moc"
