#include "GameTestSupport.h"

#include "GameLook.h"
#include "GameTwips.h"
#include "WaveSounds.h"
#include "dialog.h"
#include "frmAbout.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace brickvane;
using namespace brickvane::testing;

namespace {

const QString Resources = QStringLiteral(GAME_RESOURCE_DIR "/");

// Starts a game and sets up a board whose next spawn fails, so the next drop
// ends the game with a score of 5.
void ArrangeGameOver(GameWindow& w) {
    w.key(Qt::Key_F2);
    for (int i = 0; i < 3; ++i)
        w.key(Qt::Key_0, Qt::KeypadModifier);
    w.engine().PutBlock(5 * w.engine().BuiltCols(), true);
}

struct WaveFormat {
    int format = 0, channels = 0, bits = 0, rate = 0;
    double seconds = 0;
};

WaveFormat ReadWave(const QByteArray& bytes) {
    WaveFormat wave;
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    const auto u16 = [&](qsizetype at) {
        return int(qFromLittleEndian<quint16>(bytes.constData() + at));
    };
    const auto u32 = [&](qsizetype at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (id == "fmt ") {
            wave.format = u16(at + 8);
            wave.channels = u16(at + 10);
            wave.rate = int(u32(at + 12));
            wave.bits = u16(at + 22);
        } else if (id == "data" && wave.rate > 0) {
            wave.seconds = double(size) / (wave.rate * wave.channels * wave.bits / 8);
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return wave;
}

} // namespace

class TestGameDialogs : public QObject {
    Q_OBJECT

private slots:
    void aboutBoxTexts_data();
    void aboutBoxTexts();
    void aboutBoxColoursAndLines();
    void wrappedTextsShowEveryLine();
    void aboutBoxLoadsIconAndCursor();
    void aboutBoxOpensWithoutItsFiles();
    void cursorFilesAreChecked();
    void aboutOkBeforeAnyGameLeavesTheWindowIdle();
    void aboutOkResumesAndCloseBoxDoesNot();

    void gameOverDialogLayout();
    void gameOverEnterStartsANewGame();
    void gameOverEscEndsTheProgram();
    void gameOverCloseBoxStartsOneNewGame();
    void gameOverWithoutSoundFileStillOpens();

    void assetsAreReadable();
    void missingSoundFilePlaysNothing();
};

// ---- About box ----

void TestGameDialogs::aboutBoxTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QString home = QStringLiteral(PORTAL_BASE_URL);
    home.chop(1);
    QTest::newRow("lblTitle") << "lblTitle"
                              << "Brickvane小游戏" << 12.0 << true;
    QTest::newRow("lblDescription")
        << "lblDescription"
        << "  工作第一，请在工作之余玩耍！祝你工作轻轻松松·" << 10.5 << false;
    QTest::newRow("Label2") << "Label2"
                            << "键盘设置：F1 帮助 F2 开始游戏 F3 设置          F4 暂停 F5 "
                               "退出游戏 Esc 老板键             移动就由你自己设定吧!"
                            << 10.5 << false;
    QTest::newRow("Label3") << "Label3" << home << 9.0 << true;
    QTest::newRow("CommandButton1") << "CommandButton1"
                                    << "OK" << 9.0 << false;
    QTest::newRow("picIcon") << "picIcon" << QString() << 9.0 << false;
}

void TestGameDialogs::aboutBoxTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(double, points);
    QFETCH(bool, bold);
    Form1 game;
    frmAbout box(game);
    QCOMPARE(box.windowTitle(), QStringLiteral("Brickvane小游戏"));
    QCOMPARE(box.size(), twips::size(4980, 3795));
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    auto* w = box.findChild<QWidget*>(name);
    QVERIFY(w);
    if (auto* label = qobject_cast<QLabel*>(w))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QPushButton*>(w)->text(), text);
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
    QCOMPARE(w->font().families().value(0), QStringLiteral("宋体"));
}

void TestGameDialogs::aboutBoxColoursAndLines() {
    Form1 game;
    frmAbout box(game);
    const QColor peach(255, 192, 128);
    QCOMPARE(look::BackColour(&box), QColor(255, 192, 255));
    for (QLabel* l : {box.picIcon, box.lblTitle, box.lblDescription, box.Label3}) {
        QCOMPARE(look::BackColour(l), peach);
        QVERIFY(l->autoFillBackground());
    }
    for (QLabel* l : {box.lblTitle, box.lblDescription, box.Label2, box.Label3})
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    // Etched separators: grey rows directly above white ones.
    const QImage image = box.grab().toImage();
    const int x = twips::toPixels(2000);
    QCOMPARE(image.pixelColor(x, twips::toPixels(1485)), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(x, twips::toPixels(1500)), QColor(Qt::white));
    QCOMPARE(image.pixelColor(x, twips::toPixels(2325)), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(x, twips::toPixels(2340)), QColor(Qt::white));
}

void TestGameDialogs::wrappedTextsShowEveryLine() {
    // The key help wraps to three lines and the motto to two; whatever CJK font
    // stands in for "宋体", every line shows whole inside the designed box.
    Form1 game;
    frmAbout box(game);
    const auto lineHeights = [](QWidget* label) {
        const QImage image = label->grab().toImage();
        QList<int> heights; // of each band of rows with ink in them
        bool inLine = false;
        for (int y = 0; y < image.height(); ++y) {
            int ink = 0;
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixelColor(x, y).blue() > 160 && image.pixelColor(x, y).red() < 100;
            const bool inkRow = ink > 3; // a stray serif or two is no line
            if (inkRow && !inLine)
                heights << 0;
            if (inkRow)
                ++heights.back();
            inLine = inkRow;
        }
        return heights;
    };
    const QList<int> help = lineHeights(box.Label2);
    const QList<int> motto = lineHeights(box.lblDescription);
    QCOMPARE(help.size(), 3);
    QCOMPARE(motto.size(), 2);
    for (const QList<int>& lines : {help, motto})
        QVERIFY2(*std::min_element(lines.begin(), lines.end()) * 5 >=
                     *std::max_element(lines.begin(), lines.end()) * 4,
                 "a line is cut off at the bottom");
}

void TestGameDialogs::aboutBoxLoadsIconAndCursor() {
    Form1 game;
    game.engine().SetAppFolder(GAME_RESOURCE_DIR);
    frmAbout box(game);
    QCOMPARE(box.picIcon->pixmap().size(), QSize(32, 32));
    QCOMPARE(box.Label3->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(box.Label3->cursor().hotSpot(), QPoint(6, 0));
}

void TestGameDialogs::aboutBoxOpensWithoutItsFiles() {
    QTemporaryDir empty;
    Form1 game;
    game.engine().SetAppFolder(empty.path().toStdString());
    frmAbout box(game);
    box.show();
    QVERIFY(box.isVisible());
    QVERIFY(box.picIcon->pixmap().isNull());
    QCOMPARE(box.Label3->cursor().shape(), Qt::ArrowCursor);
}

void TestGameDialogs::cursorFilesAreChecked() {
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("point.cur"));
    QFile f(garbage);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(40, '\x02'));
    f.close();
    QVERIFY(!LoadCursorFile(garbage));
    QVERIFY(!LoadCursorFile(dir.filePath(QStringLiteral("absent.cur"))));
    QVERIFY(!LoadCursorFile(Resources + QStringLiteral("Me.ico"))); // an icon, not a cursor
    QVERIFY(LoadCursorFile(Resources + QStringLiteral("point.cur")));
}

void TestGameDialogs::aboutOkBeforeAnyGameLeavesTheWindowIdle() {
    GameWindow w;
    OnModal<frmAbout> about([](frmAbout& a) { a.CommandButton1->click(); });
    w.key(Qt::Key_F1);
    QVERIFY(about.fired);
    QVERIFY(!w.engine().GameExists());
    QVERIFY(!w.form.Timer1.isActive());
    QVERIFY(!w.form.CmdLeft->isEnabled());
    QVERIFY(!w.form.CmdPause->isEnabled());
}

void TestGameDialogs::aboutOkResumesAndCloseBoxDoesNot() {
    GameWindow w;
    w.key(Qt::Key_F2);
    w.key(Qt::Key_F4); // paused first: the OK button resumes it all the same
    OnModal<frmAbout> viaOk([](frmAbout& a) { a.CommandButton1->click(); });
    w.form.cmdhelp->trigger();
    QVERIFY(viaOk.fired);
    QVERIFY(w.form.Timer1.isActive());
    QVERIFY(w.form.CmdLeft->isEnabled());
    QCOMPARE(w.form.CmdPause->text(), QStringLiteral("暂停(&P)"));

    OnModal<frmAbout> viaCloseBox([](frmAbout& a) { a.close(); });
    w.key(Qt::Key_F1);
    QVERIFY(viaCloseBox.fired);
    QVERIFY(!w.form.Timer1.isActive());
}

// ---- Game-over dialog ----

void TestGameDialogs::gameOverDialogLayout() {
    Form1 game;
    dialog d(game);
    QCOMPARE(d.windowTitle(), QStringLiteral("你的得分是0"));
    QCOMPARE(d.size(), twips::size(3030, 1635));
    QCOMPARE(d.Label1->text(),
             QStringLiteral("游戏结束了！工作第一，请在工作之余游戏！还要继续玩吗？"));
    QCOMPARE(d.Label1->font().pointSizeF(), 10.5);
    QCOMPARE(d.OKButton->text(), QStringLiteral("确定"));
    QCOMPARE(d.CancelButton->text(), QStringLiteral("取消"));
    QCOMPARE(d.OKButton->font().pointSizeF(), 9.0);
    QVERIFY(d.OKButton->isDefault());
}

void TestGameDialogs::gameOverEnterStartsANewGame() {
    GameWindow w;
    ArrangeGameOver(w);
    QString title;
    bool timerRunning = true;
    std::vector<std::string> soundsInDialog;
    OnModal<dialog> gameOver([&](dialog& d) {
        title = d.windowTitle();
        timerRunning = w.form.Timer1.isActive();
        soundsInDialog = w.sounds.played;
        QTest::keyClick(&d, Qt::Key_Return);
    });
    w.key(Qt::Key_Down);
    QVERIFY(gameOver.fired);
    QCOMPARE(title, QStringLiteral("你的得分是5"));
    QVERIFY(!timerRunning);
    QVERIFY(!soundsInDialog.empty());
    QCOMPARE(soundsInDialog.back(), w.engine().SoundDie());
    QVERIFY(QString::fromStdString(soundsInDialog.back()).endsWith(QStringLiteral("Die.wav")));

    QVERIFY(!w.engine().GameOver());
    QCOMPARE(w.engine().Score(), 0);
    QVERIFY(w.form.Timer1.isActive());
}

void TestGameDialogs::gameOverEscEndsTheProgram() {
    GameWindow w;
    RecordingEnd end;
    ArrangeGameOver(w);
    OnModal<dialog> gameOver([](dialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    w.key(Qt::Key_Down);
    QVERIFY(gameOver.fired);
    QCOMPARE(end.calls, 1);
    QVERIFY(w.engine().GameOver()); // no new game
    QVERIFY(!w.form.Timer1.isActive());
}

void TestGameDialogs::gameOverCloseBoxStartsOneNewGame() {
    GameWindow w;
    RecordingEnd end;
    ArrangeGameOver(w);
    int rolls = 0;
    w.engine().SetRandomSource([&rolls] {
        ++rolls;
        return 0.0;
    });
    OnModal<dialog> gameOver([](dialog& d) { d.close(); });
    w.key(Qt::Key_Down);
    QVERIFY(gameOver.fired);
    QCOMPARE(end.calls, 0);
    QVERIFY(!w.engine().GameOver());
    QVERIFY(w.form.Timer1.isActive());
    // One new game: three rolls for its first piece and three for the one after.
    QCOMPARE(rolls, 6);
}

void TestGameDialogs::gameOverWithoutSoundFileStillOpens() {
    QTemporaryDir empty;
    Form1 game;
    game.engine().SetAppFolder(empty.path().toStdString());
    game.NewGame();
    dialog d(game); // plays through the real player: a missing file is silent
    d.show();
    QVERIFY(d.isVisible());
    QVERIFY(!game.Timer1.isActive());
}

// ---- Assets ----

void TestGameDialogs::assetsAreReadable() {
    QImageReader picture(Resources + QStringLiteral("Picture3.gif"));
    QCOMPARE(picture.format(), QByteArray("gif"));
    QCOMPARE(picture.read().size(), QSize(121, 93)); // 1815 by 1400 twips
    QVERIFY(!QImage(Resources + QStringLiteral("Me.ico")).isNull());
    QVERIFY(!QImage(Resources + QStringLiteral("Brickvane.png")).isNull());

    QList<QByteArray> contents;
    for (const char* name : {"upgrade.wav", "Down.wav", "Killline.wav", "Die.wav"}) {
        QFile file(Resources + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QByteArray bytes = file.readAll();
        const WaveFormat wave = ReadWave(bytes);
        QCOMPARE(wave.format, 1); // PCM
        QCOMPARE(wave.bits, 16);
        QVERIFY2(wave.seconds >= 0.1 && wave.seconds <= 1.0, name);
        QVERIFY2(!contents.contains(bytes), name);
        contents << bytes;
    }
}

void TestGameDialogs::missingSoundFilePlaysNothing() {
    WaveSounds sounds;
    sounds.Play("/nonexistent/Die.wav");
    QVERIFY(sounds.findChildren<QSoundEffect*>().isEmpty());
    const std::string down = (Resources + QStringLiteral("Down.wav")).toStdString();
    sounds.Play(down);
    sounds.Play(down);
    QCOMPARE(sounds.findChildren<QSoundEffect*>().size(), 1); // one player per file, reused
}

QTEST_MAIN(TestGameDialogs)
#include "test_game_dialogs.moc"
