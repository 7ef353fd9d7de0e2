// Landing, removing full rows, points, levels and their sounds.
#include "EngineSupport.h"

#include <QTest>

using namespace brickvane;
using namespace support;

namespace {

constexpr int BarCol = 4; // where the upright bar falls on ten columns

struct BarGame {
    BarGame(int startLevel = 1) {
        e.StartLevel = startLevel;
        e.SetAppFolder("/game");
        e.SetSoundSink(&sink);
        e.SetRandomSource(UprightBarsForever());
        e.NewGame();
    }
    // Empties the board, fills the bottom `rows` rows but for the bar's
    // column and drops the bar into that well.
    StepResult Land(int rows) {
        for (int p = 1; p < e.PositionCount(); ++p)
            e.PutBlock(p, false);
        for (int row = 25 - rows; row < 25; ++row)
            FillRow(e, row, {BarCol});
        return e.Drop();
    }
    Engine e;
    RecordingSink sink;
};

} // namespace

class EngineLandingTest : public QObject {
    Q_OBJECT

private slots:
    void removesTheFullRowsTheBarCompletes_data() {
        QTest::addColumn<int>("turns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("points");
        QTest::newRow("no row") << 1 << 0 << 5;
        QTest::newRow("one row") << 1 << 1 << 100;
        QTest::newRow("two rows") << 1 << 2 << 210;
        QTest::newRow("three rows") << 1 << 3 << 350;
        QTest::newRow("four rows") << 1 << 4 << 500;
        QTest::newRow("four rows, bar the other way up") << 3 << 4 << 500;
    }
    void removesTheFullRowsTheBarCompletes() {
        QFETCH(int, turns);
        QFETCH(int, rows);
        QFETCH(int, points);
        auto e = Game(0, turns);
        RecordingSink sink;
        e->SetAppFolder("/game");
        e->SetSoundSink(&sink);
        // Rows 21 to 24 around the well; those not meant to go keep column 0 open.
        for (int row = 21; row < 25; ++row)
            if (row >= 25 - rows)
                FillRow(*e, row, {BarCol});
            else
                FillRow(*e, row, {0, BarCol});
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(e->Score(), points);
        QCOMPARE(e->LabelScoreText(), std::to_string(points));
        // What is left of the rows moved to the bottom; above them all is empty.
        for (int row = 5; row < 25; ++row)
            QCOMPARE(RowText(*e, row), std::string(row >= 21 + rows ? ".XXXXXXXXX" : ".........."));
        QCOMPARE(sink.played, std::vector<std::string>{rows ? e->SoundKillLine() : e->SoundDown()});
        QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
    }

    void aRowKeptBetweenTwoRemovedOnesComesDownOnTheRowBelow() {
        auto e = Game(0, 1);
        const Colour below = 0x000001, gap = 0x000002, above = 0x000003, full = 0x000004;
        FillRow(*e, 24, {0}, below); // the bar rests on this one
        FillRow(*e, 23, {BarCol}, full);
        FillRow(*e, 22, {0, BarCol}, gap);
        FillRow(*e, 21, {BarCol}, full);
        FillRow(*e, 20, {0, 1, BarCol}, above);
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(e->Score(), 210);
        QCOMPARE(RowText(*e, 24), std::string(".XXXXXXXXX"));
        QCOMPARE(RowText(*e, 23), std::string(".XXXXXXXXX"));
        QCOMPARE(RowText(*e, 22), std::string("..XXXXXXXX"));
        QCOMPARE(RowText(*e, 21), std::string(".........."));
        QCOMPARE(e->Block(PositionOf(*e, 24, 1)).colour, below);
        QCOMPARE(e->Block(PositionOf(*e, 23, 1)).colour, gap);
        QCOMPARE(e->Block(PositionOf(*e, 22, 2)).colour, above);
        const Colour bar = e->Block(PositionOf(*e, 23, BarCol)).colour;
        QVERIFY(bar != gap && bar == e->Block(PositionOf(*e, 22, BarCol)).colour);
        QVERIFY(InvariantBroken(*e).empty());
    }

    void aFullRowThePieceDoesNotTouchStays() {
        auto e = Game(0, 1);
        FillRow(*e, 24);
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(e->Score(), 5);
        QCOMPARE(RowText(*e, 24), std::string("XXXXXXXXXX"));
        QCOMPARE(RowText(*e, 23), std::string("....X....."));
    }

    void aRemovalEmptiesRowFourAndBringsHiddenCellsDownOnce() {
        // Shape 4 turned once: "XP / _X / _X", lands with its top in row 4.
        auto e = Game(4, 1);
        FillRow(*e, 5, {BarCol});
        FillRow(*e, 6, {BarCol});
        e->PutBlock(PositionOf(*e, 7, BarCol), true);
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(e->Score(), 210);
        // The landed top row moved down by two; nothing was copied twice, so row 5
        // stays empty and the game goes on.
        QCOMPARE(RowText(*e, 6), std::string("...XX....."));
        QCOMPARE(RowText(*e, 7), std::string("....X....."));
        QCOMPARE(RowText(*e, 5), std::string(".........."));
        QCOMPARE(RowText(*e, 4), std::string(".........."));
        QVERIFY(!e->GameOver());
        QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
    }

    void aTurnJustBeforeLandingLeavesEveryCellOccupied() {
        auto e = Game(0, 0);
        for (int row = 21; row < 25; ++row)
            FillRow(*e, row, {BarCol});
        QVERIFY(MovePivotTo(*e, 16, BarCol));
        e->QuarterTurn();
        QVERIFY(ArmOffsets(*e, e->Piece()) == TurnedArms(0, 1));
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(e->Score(), 500);
        for (int row = 5; row < 25; ++row)
            QCOMPARE(RowText(*e, row), std::string(".........."));
    }

    void theLevelRisesWithTheScore_data() {
        QTest::addColumn<QList<int>>("before"); // rows of the landings that lead up
        QTest::addColumn<int>("rows");          // rows of the landing under test
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("sounds");
        const QList<int> to950 = {4, 3, 1};
        QList<int> to995 = to950;
        for (int i = 0; i < 9; ++i)
            to995 << 0;
        QTest::newRow("995 to 1000") << to995 << 0 << 1000 << 2 << "down upgrade";
        QTest::newRow("950 to 1050") << to950 << 1 << 1050 << 2 << "upgrade";
        QTest::newRow("1100 to 1200") << QList<int>{4, 4, 1} << 1 << 1200 << 2 << "killline";
        QTest::newRow("850 to 950") << QList<int>{4, 3} << 1 << 950 << 1 << "killline";
        QTest::newRow("5 to 10") << QList<int>{0} << 0 << 10 << 1 << "down";
    }
    void theLevelRisesWithTheScore() {
        QFETCH(QList<int>, before);
        QFETCH(int, rows);
        QFETCH(int, score);
        QFETCH(int, level);
        QFETCH(QString, sounds);
        BarGame game;
        for (int landing : before)
            QCOMPARE(game.Land(landing), StepResult::Landed);
        game.sink.played.clear();
        QCOMPARE(game.Land(rows), StepResult::Landed);
        QCOMPARE(game.e.Score(), score);
        QCOMPARE(game.e.Level(), level);
        QCOMPARE(game.e.LabelLevelText(), std::to_string(level));
        QCOMPARE(game.e.LabelScoreText(), std::to_string(score));
        QStringList played;
        for (const std::string& path : game.sink.played)
            played << QString::fromStdString(path).section('/', -1).section('.', 0, 0).toLower();
        QCOMPARE(played.join(' '), sounds);
    }

    void pastLevelNineTheLabelSaysMaster() {
        BarGame game(8);
        game.Land(4);
        game.Land(4);
        QCOMPARE(game.e.Level(), 9);
        QCOMPARE(game.e.LabelLevelText(), std::string("9"));
        for (int thousand = 2; thousand <= 3; ++thousand) {
            game.Land(4);
            game.sink.played.clear();
            game.Land(4);
            QCOMPARE(game.e.Score(), thousand * 1000);
            QCOMPARE(game.sink.played, std::vector<std::string>{game.e.SoundUpgrade()});
            QCOMPARE(game.e.Level(), 9);
            QCOMPARE(game.e.LabelLevelText(), std::string("高手"));
            QCOMPARE(game.e.TicksPerStep(), 1);
        }
        game.Land(1); // no new level: the label keeps its text
        QCOMPARE(game.e.LabelLevelText(), std::string("高手"));
        game.e.NewGame();
        QCOMPARE(game.e.LabelLevelText(), std::string("8"));
    }

    void soundsWithoutASinkOrAFolderAreSkipped() {
        Engine e;
        e.NewGame();
        QCOMPARE(e.Drop(), StepResult::Landed); // no sink: nothing to play, no crash
        RecordingSink sink;
        e.SetSoundSink(&sink);
        e.Drop();
        QVERIFY(sink.played.empty()); // no folder yet: no paths to play
        e.SetAppFolder("/game");
        e.Drop();
        QCOMPARE(sink.played, std::vector<std::string>{"/game/Down.wav"});
    }
};

QTEST_APPLESS_MAIN(EngineLandingTest)
#include "test_engine_landing.moc"
