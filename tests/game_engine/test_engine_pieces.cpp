// The board, the shapes, the next piece, the start of a game and the key list.
#include "EngineSupport.h"
#include "Keys.h"

#include <QTest>
#include <set>

using namespace brickvane;
using namespace support;

namespace {

// The piece drawn as rows of its bounding box split by "/": P pivot, X arm, _ empty.
std::string Look(const Engine& e, const std::array<int, 4>& cells) {
    int top = 1000, left = 1000, bottom = -1, right = -1;
    for (int p : cells) {
        const Place at = PlaceOf(e, p);
        top = std::min(top, at.row), bottom = std::max(bottom, at.row);
        left = std::min(left, at.col), right = std::max(right, at.col);
    }
    std::string look;
    for (int row = top; row <= bottom; ++row) {
        if (row != top)
            look += '/';
        for (int col = left; col <= right; ++col) {
            const int p = PositionOf(e, row, col);
            const auto at = std::find(cells.begin(), cells.end(), p);
            look += at == cells.end() ? '_' : at == cells.begin() ? 'P' : 'X';
        }
    }
    return look;
}

std::set<std::pair<int, int>> RowsAndCols(const Engine& e, const std::array<int, 4>& cells) {
    std::set<std::pair<int, int>> places;
    for (int p : cells)
        places.insert({PlaceOf(e, p).row, PlaceOf(e, p).col});
    return places;
}

} // namespace

class EnginePiecesTest : public QObject {
    Q_OBJECT

private slots:
    void startsIdleWithTheDefaults() {
        Engine e;
        QCOMPARE(e.KeyLeft, 37);
        QCOMPARE(e.KeyRight, 39);
        QCOMPARE(e.KeyDrop, 40);
        QCOMPARE(e.KeyRotate, 38);
        QCOMPARE(e.KeyStep, 96);
        QCOMPARE(e.BoardCols, 10);
        QCOMPARE(e.BoardRows, 25);
        QCOMPARE(e.StartLevel, 1);
        QCOMPARE(e.UpgradeStep, 1000);
        QCOMPARE(e.Level(), 1);
        QCOMPARE(e.BuiltCols(), 0);
        QVERIFY(!e.GameExists());
        QVERIFY(e.Board().empty());
        QVERIFY(e.LabelScoreText().empty() && e.LabelLevelText().empty());
        const std::array<Colour, 8> palette = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000,
                                               0x00FFFF, 0xFFFF00, 0xFF00FF, 0};
        QVERIFY(e.Palette() == palette);
        QCOMPARE(TickPeriod.count(), 55);
    }

    void appFolderGetsOneSeparator_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("appFolder");
        QTest::newRow("plain") << "/opt/game"
                               << "/opt/game/";
        QTest::newRow("trailing") << "/opt/game/"
                                  << "/opt/game/";
        QTest::newRow("empty") << ""
                               << "";
    }
    void appFolderGetsOneSeparator() {
        QFETCH(QString, folder);
        QFETCH(QString, appFolder);
        Engine e;
        e.SetAppFolder(folder.toStdString());
        QCOMPARE(QString::fromStdString(e.AppFolder()), appFolder);
        QCOMPARE(QString::fromStdString(e.SoundUpgrade()), appFolder + "upgrade.wav");
        QCOMPARE(QString::fromStdString(e.SoundDown()), appFolder + "Down.wav");
        QCOMPARE(QString::fromStdString(e.SoundKillLine()), appFolder + "Killline.wav");
        QCOMPARE(QString::fromStdString(e.SoundDie()), appFolder + "Die.wav");
    }

    void spawnsEachShapeInPlace_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("pivot");
        QTest::addColumn<QString>("look");
        const char* looks[] = {"XXPX",    "PX/XX",   "XPX/_X_", "XXP/__X",
                               "PXX/X__", "XP_/_XX", "_PX/XX_"};
        const int pivots[][2] = {{10, 24}, {11, 26}, {20, 49}};
        const int lowerPivots[] = {34, 37, 69};
        for (int size = 0; size < 3; ++size)
            for (int type = 0; type < 7; ++type) {
                const bool lower = type == 2 || type == 5 || type == 6;
                QTest::addRow("%d cols, shape %d", pivots[size][0], type)
                    << pivots[size][0] << type << (lower ? lowerPivots[size] : pivots[size][1])
                    << looks[type];
            }
    }
    void spawnsEachShapeInPlace() {
        QFETCH(int, cols);
        QFETCH(int, type);
        QFETCH(int, pivot);
        QFETCH(QString, look);
        const auto e = Game(type, 0, cols);
        QCOMPARE(e->PieceType(), type);
        QCOMPARE(e->Piece()[0], pivot);
        QCOMPARE(QString::fromStdString(Look(*e, e->Piece())), look);
        QCOMPARE(e->Block(pivot).colour, e->Palette()[1]);
        QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
    }

    void turnsTheNextPieceClockwise_data() {
        QTest::addColumn<int>("turns");
        QTest::addColumn<QString>("look");
        QTest::addColumn<int>("topRow");
        QTest::newRow("upright") << 1 << "X/X/P/X" << 0;
        QTest::newRow("flat again") << 2 << "XPXX" << 2;
        QTest::newRow("upright, low") << 3 << "X/P/X/X" << 1;
    }
    void turnsTheNextPieceClockwise() {
        QFETCH(int, turns);
        QFETCH(QString, look);
        QFETCH(int, topRow);
        const auto e = Game(0, turns);
        QCOMPARE(QString::fromStdString(Look(*e, e->Piece())), look);
        QCOMPARE(PlaceOf(*e, e->Piece()[0]).col, 4);
        int top = 100;
        for (int p : e->Piece())
            top = std::min(top, PlaceOf(*e, p).row);
        QCOMPARE(top, topRow);
    }

    void placesTheSquareByItsTurns_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("turns");
        QTest::addColumn<int>("leftCol"); // relative to c0 = cols / 2 - 1
        QTest::addColumn<int>("topRow");
        for (int cols : {10, 11, 20}) {
            QTest::addRow("%d cols, no turn", cols) << cols << 0 << 0 << 2;
            QTest::addRow("%d cols, one turn", cols) << cols << 1 << -1 << 2;
            QTest::addRow("%d cols, two turns", cols) << cols << 2 << -1 << 1;
            QTest::addRow("%d cols, three turns", cols) << cols << 3 << 0 << 1;
        }
    }
    void placesTheSquareByItsTurns() {
        QFETCH(int, cols);
        QFETCH(int, turns);
        QFETCH(int, leftCol);
        QFETCH(int, topRow);
        const auto e = Game(1, turns, cols);
        const int c0 = cols / 2 - 1;
        const std::set<std::pair<int, int>> expected = {{topRow, c0 + leftCol},
                                                        {topRow, c0 + leftCol + 1},
                                                        {topRow + 1, c0 + leftCol},
                                                        {topRow + 1, c0 + leftCol + 1}};
        QVERIFY(RowsAndCols(*e, e->Piece()) == expected);
    }

    void previewsEveryShapeAndTurnInsideTheGrid_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("turns");
        for (int cols : {10, 11, 20})
            for (int type = 0; type < 7; ++type)
                for (int turns = 0; turns < 4; ++turns)
                    QTest::addRow("%d cols, shape %d, %d turns", cols, type, turns)
                        << cols << type << turns;
    }
    void previewsEveryShapeAndTurnInsideTheGrid() {
        QFETCH(int, cols);
        QFETCH(int, type);
        QFETCH(int, turns);
        auto e = std::make_unique<Engine>();
        e->BoardCols = cols;
        e->SetRandomSource(FirstPieces(2, 0, 1, type, turns, 3));
        e->NewGame();
        QCOMPARE(e->NextType(), type);
        QCOMPARE(e->NextTurns(), turns);
        QCOMPARE(e->NextColor(), 3);
        QVERIFY(ArmOffsets(*e, e->NextPiece()) == TurnedArms(type, turns));

        std::set<std::pair<int, int>> shown;
        for (int i = 0; i < PreviewCellCount; ++i)
            if (e->BlockPreview(i).shown) {
                QCOMPARE(e->BlockPreview(i).colour, e->Palette()[3]);
                shown.insert({i / PreviewSide, i % PreviewSide});
            }
        // The hidden rows map one to one onto the preview, pivot in column 2.
        const int shift = PlaceOf(*e, e->NextPiece()[0]).col - 2;
        std::set<std::pair<int, int>> expected;
        for (auto [row, col] : RowsAndCols(*e, e->NextPiece()))
            expected.insert({row, col - shift});
        QVERIFY(shown == expected);
        QVERIFY(shown.count({PlaceOf(*e, e->NextPiece()[0]).row, 2}));
    }

    void fourTurnsOfTheNextPieceGiveItBack() {
        for (int type = 0; type < 7; ++type) {
            auto e = std::make_unique<Engine>();
            e->SetRandomSource(FirstPieces(0, 0, 1, type, 0));
            e->NewGame();
            const auto start = e->NextPiece();
            for (int turn = 0; turn < 4; ++turn)
                e->RotateNextPiece();
            QVERIFY(e->NextPiece() == start);
        }
    }

    void newGameRollsInTheirOrder() {
        Engine e;
        // Start: type, colour, turns. Spawn: type, turns, colour.
        e.SetRandomSource(Script(
            {Choice(3, 7), Choice(5, 7), Choice(2, 4), Choice(6, 7), Choice(1, 4), Choice(4, 7)}));
        e.NewGame();
        QCOMPARE(e.PieceType(), 3);
        QCOMPARE(e.Block(e.Piece()[0]).colour, e.Palette()[5]);
        QVERIFY(ArmOffsets(e, e.Piece()) == TurnedArms(3, 2));
        QCOMPARE(e.NextType(), 6);
        QCOMPARE(e.NextTurns(), 1);
        QCOMPARE(e.NextColor(), 4);
    }

    void strayRandomValuesStillGiveValidRolls() {
        for (double r : {-0.5, 1.0, 7.0, std::numeric_limits<double>::quiet_NaN()}) {
            Engine e;
            e.SetRandomSource([r] { return r; });
            e.NewGame();
            QVERIFY(e.NextType() >= 0 && e.NextType() < 7);
            QVERIFY(e.NextColor() >= 0 && e.NextColor() < 7);
            QVERIFY(e.NextTurns() >= 0 && e.NextTurns() < 4);
            QVERIFY(InvariantBroken(e).empty());
        }
    }

    void newGameRebuildsCellsOnlyForANewSize() {
        Engine e;
        QVERIFY(e.NewGame());
        QCOMPARE(e.Blocks().size(), std::size_t(250));
        e.PutBlock(PositionOf(e, 24, 0), true);
        e.StepDown();
        QVERIFY(!e.NewGame());
        QCOMPARE(RowText(e, 24), std::string(".........."));
        QVERIFY(InvariantBroken(e).empty());
        e.BoardCols = 20;
        e.BoardRows = 35;
        QVERIFY(e.NewGame());
        QCOMPARE(e.BuiltCols(), 20);
        QCOMPARE(e.BuiltRows(), 35);
        QCOMPARE(e.Blocks().size(), std::size_t(700));
        QVERIFY(std::all_of(e.Blocks().begin(), e.Blocks().end(),
                            [](const Cell& c) { return c.created; }));
        QVERIFY(InvariantBroken(e).empty());
    }

    void newGameResetsProgressAndLabels() {
        Engine e;
        e.StartLevel = 4;
        e.NewGame();
        e.Drop();
        QCOMPARE(e.Score(), 5);
        e.Tick();
        e.NewGame();
        QCOMPARE(e.Level(), 4);
        QCOMPARE(e.Score(), 0);
        QCOMPARE(e.TickCount(), 0);
        QCOMPARE(e.LabelLevelText(), std::string("4"));
        QCOMPARE(e.LabelScoreText(), std::string("0"));
        int previewed = 0;
        for (const Cell& cell : e.BlockPreviews())
            previewed += cell.shown;
        QCOMPARE(previewed, 4);
    }

    void newGameBringsStraySettingsIntoRange_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("step");
        QTest::newRow("too small") << 0 << 10 << 25 << 1 << 1000;
        QTest::newRow("too large") << 5000 << 20 << 35 << 9 << 2000;
        QTest::newRow("negative") << -3 << 10 << 25 << 1 << 1000;
    }
    void newGameBringsStraySettingsIntoRange() {
        QFETCH(int, value);
        Engine e;
        e.BoardCols = e.BoardRows = e.StartLevel = e.UpgradeStep = value;
        e.NewGame();
        QTEST(e.BuiltCols(), "cols");
        QTEST(e.BuiltRows(), "rows");
        QTEST(e.Level(), "level");
        QTEST(e.UpgradeStep, "step");
        QVERIFY(InvariantBroken(e).empty());
    }

    void cellsStandWhereTheBoardShowsThem() {
        Engine e;
        QCOMPARE(e.BlockPlace(30).left, OffBoard); // no game yet
        e.BoardCols = 12;
        e.NewGame();
        for (int p : {0, 1, 59}) {
            QCOMPARE(e.BlockPlace(p).left, OffBoard);
            QCOMPARE(e.BlockPlace(p).top, OffBoard);
        }
        QCOMPARE(e.BlockPlace(60).left, 0);
        QCOMPARE(e.BlockPlace(60).top, 0);
        QCOMPARE(e.BlockPlace(12 * 7 + 11).left, 11 * 240);
        QCOMPARE(e.BlockPlace(12 * 7 + 11).top, 2 * 240);
        QCOMPARE(PreviewCellPlace(0).left, 15);
        QCOMPARE(PreviewCellPlace(7).left, 15 + 2 * 240);
        QCOMPARE(PreviewCellPlace(7).top, 15 + 240);
    }

    void landedBlockInRowFiveEndsTheGame() {
        auto e = Game(0, 0);
        e->PutBlock(PositionOf(*e, 5, 9), true); // far from where the next piece goes
        QVERIFY(!e->SpawnPiece());
        QCOMPARE(e->NextType(), -1);
        QVERIFY(e->GameOver());
        QVERIFY(InvariantBroken(*e).empty());
        const auto next = e->NextPiece();
        e->PlaceNextPiece();
        QVERIFY(e->NextPiece() == next);
        QVERIFY(!e->SpawnPiece());
    }

    void keyListRoundTrips() {
        QCOMPARE(int(KeyList.size()), 52);
        for (int i = 0; i < KeyListSize; ++i)
            QCOMPARE(KeyCodeToListIndex(ListIndexToKeyCode(i)), i);
        const std::pair<int, std::string_view> samples[] = {
            {65, "A"},     {90, "Z"},     {48, "0"},       {57, "9"},
            {37, "Left"},  {38, "Up"},    {39, "Right"},   {40, "Down"},
            {32, "Space"}, {13, "Enter"}, {96, "NumPad0"}, {105, "NumPad9"}};
        for (auto [code, text] : samples)
            QCOMPARE(KeyList[std::size_t(KeyCodeToListIndex(code))], text);
        QCOMPARE(KeyCodeToListIndex(13), 41);
        QCOMPARE(KeyCodeToListIndex(32), 40);
        for (int code : {0, 27, 91, 106, 114})
            QCOMPARE(KeyCodeToListIndex(code), -1);
        for (int i : {-1, 52, 1000})
            QCOMPARE(ListIndexToKeyCode(i), -1);
    }

    void keysAreDistinctIgnoresTheStepKey_data() {
        QTest::addColumn<int>("b0");
        QTest::addColumn<int>("b1");
        QTest::addColumn<int>("b2");
        QTest::addColumn<int>("b3");
        QTest::addColumn<int>("b4");
        QTest::addColumn<bool>("distinct");
        QTest::newRow("defaults") << 36 << 38 << 39 << 37 << 42 << true;
        QTest::newRow("step repeats left") << 36 << 38 << 39 << 37 << 36 << true;
        QTest::newRow("left equals rotate") << 36 << 38 << 39 << 36 << 42 << false;
        QTest::newRow("right equals drop") << 0 << 5 << 5 << 7 << 42 << false;
        QTest::newRow("left equals right") << 9 << 9 << 1 << 2 << 3 << false;
    }
    void keysAreDistinctIgnoresTheStepKey() {
        QFETCH(int, b0);
        QFETCH(int, b1);
        QFETCH(int, b2);
        QFETCH(int, b3);
        QFETCH(int, b4);
        QTEST(KeysAreDistinct({b0, b1, b2, b3, b4}), "distinct");
    }
};

QTEST_APPLESS_MAIN(EnginePiecesTest)
#include "test_engine_pieces.moc"
