// Moving, turning and stepping the falling piece; the game-over hand-off; the timer count.
#include "EngineSupport.h"

#include <QTest>

using namespace brickvane;
using namespace support;

namespace {

int MinCol(const Engine& e) {
    int col = 1000;
    for (int p : e.Piece())
        col = std::min(col, PlaceOf(e, p).col);
    return col;
}

int MaxCol(const Engine& e) {
    int col = -1;
    for (int p : e.Piece())
        col = std::max(col, PlaceOf(e, p).col);
    return col;
}

} // namespace

class EngineMovesTest : public QObject {
    Q_OBJECT

private slots:
    void nothingMovesBeforeAGame() {
        Engine e;
        const auto revision = e.Revision();
        e.MoveLeft();
        e.MoveRight();
        e.QuarterTurn();
        QCOMPARE(e.StepDown(), StepResult::None);
        QCOMPARE(e.Drop(), StepResult::None);
        QCOMPARE(e.Tick(), StepResult::None);
        for (Move move : {Move::Left, Move::Right, Move::Down, Move::Turn})
            QVERIFY(!e.CanMove(move));
        QVERIFY(e.SweepBlocked(30, 20));
        QVERIFY(!e.SpawnPiece());
        e.LandPiece();
        e.ShowPreview();
        e.PlaceNextPiece();
        e.RotateNextPiece();
        e.PutBlock(30, true);
        QCOMPARE(e.Revision(), revision);
        QCOMPARE(e.Score(), 0);
        QVERIFY(e.Board().empty());
        QCOMPARE(e.TickCount(), 0);
    }

    void canMoveNamesMovesByTheKeysInForce() {
        auto e = Game(2, 0);
        QVERIFY(MovePivotTo(*e, 12, 5));
        const struct {
            int code;
            Move move;
        } keys[] = {{37, Move::Left}, {39, Move::Right}, {40, Move::Down}, {38, Move::Turn}};
        FillRow(*e, 13, {4, 5}); // blocks the way down, nothing else
        for (auto [code, move] : keys)
            QCOMPARE(e->CanMove(code), e->CanMove(move));
        QVERIFY(!e->CanMove(40));
        QVERIFY(!e->CanMove(96)); // the step key is no move code
        e->KeyLeft = 65;
        QVERIFY(e->CanMove(65));
        QVERIFY(!e->CanMove(37));
    }

    void collidingKeysDoNotChangeWhatTheButtonsDo() {
        auto e = Game(0, 0);
        e->KeyDrop = e->KeyLeft;
        const int pivot = e->Piece()[0];
        QCOMPARE(e->StepDown(), StepResult::Moved);
        QCOMPARE(e->Piece()[0], pivot + 10);
    }

    void aNewPieceOnlyFallsUntilItIsWhollyVisible_data() {
        QTest::addColumn<int>("type");
        for (int type = 0; type < 7; ++type)
            QTest::addRow("shape %d", type) << type;
    }
    void aNewPieceOnlyFallsUntilItIsWhollyVisible() {
        QFETCH(int, type);
        auto e = Game(type, 0);
        const auto visible = [&] {
            return std::all_of(e->Piece().begin(), e->Piece().end(),
                               [&](int p) { return p >= 5 * 10; });
        };
        while (!visible()) {
            const auto piece = e->Piece();
            QVERIFY(!e->CanMove(Move::Left) && !e->CanMove(Move::Right));
            QVERIFY(!e->CanMove(Move::Turn));
            e->MoveLeft();
            e->MoveRight();
            e->QuarterTurn();
            QVERIFY(e->Piece() == piece);
            QCOMPARE(e->StepDown(), StepResult::Moved);
        }
        QVERIFY(e->CanMove(Move::Left) && e->CanMove(Move::Right));
    }

    void wallsStopSidewaysMovesAndTurns_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("turns");
        for (int cols : {10, 11, 20})
            for (int type = 0; type < 7; ++type)
                for (int turns = 0; turns < 4; ++turns)
                    QTest::addRow("%d cols, shape %d, %d turns", cols, type, turns)
                        << cols << type << turns;
    }
    void wallsStopSidewaysMovesAndTurns() {
        QFETCH(int, cols);
        QFETCH(int, type);
        QFETCH(int, turns);
        for (bool left : {true, false}) {
            auto e = Game(type, turns, cols);
            QVERIFY(MovePivotTo(*e, 12, PlaceOf(*e, e->Piece()[0]).col));
            while (left ? e->CanMove(Move::Left) : e->CanMove(Move::Right))
                left ? e->MoveLeft() : e->MoveRight();
            QCOMPARE(left ? MinCol(*e) : MaxCol(*e), left ? 0 : cols - 1);
            const auto piece = e->Piece();
            left ? e->MoveLeft() : e->MoveRight();
            QVERIFY(e->Piece() == piece);

            // A turn at the wall is refused or stays whole on the board.
            const auto arms = ArmOffsets(*e, e->Piece());
            e->QuarterTurn();
            const bool turned = e->Piece() != piece;
            QVERIFY(ArmOffsets(*e, e->Piece()) == (turned ? TurnedArms(type, turns + 1) : arms));
            QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
        }
    }

    void theBarTurnsOnlyWhereItFits_data() {
        QTest::addColumn<int>("turns");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("turns_ok");
        // Flat, pivot in row 5 or 6: the upper arms would go into the hidden rows.
        QTest::newRow("flat, row 5") << 0 << 5 << 4 << false;
        QTest::newRow("flat, row 6") << 0 << 6 << 4 << false;
        QTest::newRow("flat, row 7") << 0 << 7 << 4 << true;
        // Upright: lying down needs a column to the left and two to the right.
        QTest::newRow("upright, col 0") << 1 << 12 << 0 << false;
        QTest::newRow("upright, col 1") << 1 << 12 << 1 << true;
        QTest::newRow("upright, col 7") << 1 << 12 << 7 << true;
        QTest::newRow("upright, col 8") << 1 << 12 << 8 << false;
        QTest::newRow("upright, col 9") << 1 << 12 << 9 << false;
        // Upright the other way: lying down reaches two columns to the left.
        QTest::newRow("low upright, col 1") << 3 << 12 << 1 << false;
        QTest::newRow("low upright, col 2") << 3 << 12 << 2 << true;
        QTest::newRow("low upright, col 9") << 3 << 12 << 9 << false;
    }
    void theBarTurnsOnlyWhereItFits() {
        QFETCH(int, turns);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, turns_ok);
        auto e = Game(0, turns);
        QVERIFY(MovePivotTo(*e, row, col));
        QCOMPARE(e->CanMove(Move::Turn), turns_ok);
        QCOMPARE(e->CanMove(e->KeyRotate), turns_ok);
    }

    void theSquareNeverTurns() {
        auto e = Game(1, 0);
        QVERIFY(MovePivotTo(*e, 12, 4));
        QVERIFY(!e->CanMove(Move::Turn));
    }

    void sweepTableNamesTheCellsEachArmPasses_data() {
        QTest::addColumn<int>("armDx");
        QTest::addColumn<int>("armDy");
        QTest::addColumn<QList<QPoint>>("cells"); // (dx, dy) from the pivot
        QTest::addColumn<bool>("pieceBlocks");    // long arms: even the piece's own cells block
        const auto row = [](const char* name, int dx, int dy, QList<QPoint> cells, bool longArm) {
            QTest::newRow(name) << dx << dy << cells << longArm;
        };
        row("above", 0, -1, {{1, -1}}, false);
        row("above left", -1, -1, {{0, -1}}, false);
        row("below right", 1, 1, {{0, 1}}, false);
        row("below", 0, 1, {{-1, 1}}, false);
        row("above right", 1, -1, {{1, 0}}, false);
        row("right", 1, 0, {{1, 1}}, false);
        row("below left", -1, 1, {{-1, 0}}, false);
        row("left", -1, 0, {{-1, -1}}, false);
        row("two above", 0, -2, {{1, -1}, {2, -1}, {1, -2}, {2, -2}}, true);
        row("two left", -2, 0, {{-2, -1}, {-1, -1}, {-2, -2}, {-1, -2}}, true);
        row("two right", 2, 0, {{2, 1}, {1, 1}, {2, 2}, {1, 2}}, true);
        row("two below", 0, 2, {{-2, 1}, {-1, 1}, {-2, 2}, {-1, 2}}, true);
    }
    void sweepTableNamesTheCellsEachArmPasses() {
        QFETCH(int, armDx);
        QFETCH(int, armDy);
        QFETCH(QList<QPoint>, cells);
        QFETCH(bool, pieceBlocks);
        auto e = Game(1, 0); // the square, in the hidden rows
        const int c = e->BuiltCols();
        const int pivot = PositionOf(*e, 14, 5);
        const int arm = pivot + armDy * c + armDx;
        QVERIFY(!e->SweepBlocked(pivot, arm));
        for (QPoint cell : cells) {
            const int p = pivot + cell.y() * c + cell.x();
            e->PutBlock(p, true);
            QVERIFY(e->SweepBlocked(pivot, arm));
            e->PutBlock(p, false);
            // The same look with the falling piece standing in that cell.
            const int piecePivot = e->Piece()[0] - cell.y() * c - cell.x();
            QCOMPARE(e->SweepBlocked(piecePivot, piecePivot + armDy * c + armDx), pieceBlocks);
        }
        // A block anywhere else on the way out does not matter.
        e->PutBlock(pivot - 3 * c - 3, true);
        QVERIFY(!e->SweepBlocked(pivot, arm));
    }

    void unknownArmsAreAlwaysBlocked() {
        auto e = Game(1, 0);
        const int pivot = PositionOf(*e, 14, 5);
        for (int d : {0, 3, -3, 22, 2 * 10 + 2, -30, 31})
            QVERIFY(e->SweepBlocked(pivot, pivot + d));
    }

    void shapeTwoCannotTurnPastAnOccupiedCorner() {
        auto e = Game(2, 0);
        QVERIFY(MovePivotTo(*e, 12, 5));
        int focused = 0;
        e->FocusBoard = [&] { ++focused; };
        const int corner = PositionOf(*e, 13, 6);
        e->PutBlock(corner, true);
        const auto piece = e->Piece();
        QVERIFY(!e->CanMove(Move::Turn));
        e->QuarterTurn();
        QVERIFY(e->Piece() == piece);
        QCOMPARE(focused, 0);
        e->PutBlock(corner, false);
        QVERIFY(e->CanMove(Move::Turn));
        e->QuarterTurn();
        QVERIFY(ArmOffsets(*e, e->Piece()) == TurnedArms(2, 1));
        QCOMPARE(focused, 1);
        QVERIFY(InvariantBroken(*e).empty());
    }

    void theBarsLongArmNeedsItsSweepFree_data() {
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<bool>("turns_ok");
        QTest::newRow("(-2,-1)") << QPoint(-2, -1) << false;
        QTest::newRow("(-1,-1)") << QPoint(-1, -1) << false;
        QTest::newRow("(-2,-2)") << QPoint(-2, -2) << false;
        QTest::newRow("(-1,-2)") << QPoint(-1, -2) << false;
        QTest::newRow("(-2,+1) is off the way") << QPoint(-2, 1) << true;
    }
    void theBarsLongArmNeedsItsSweepFree() {
        QFETCH(QPoint, cell);
        auto e = Game(0, 0);
        QVERIFY(MovePivotTo(*e, 12, 5));
        e->PutBlock(PositionOf(*e, 12 + cell.y(), 5 + cell.x()), true);
        QTEST(e->CanMove(Move::Turn), "turns_ok");
    }

    void movesCarryTheWholePieceAndItsColour() {
        auto e = Game(6, 0);
        QVERIFY(MovePivotTo(*e, 12, 5));
        const Colour colour = e->Block(e->Piece()[0]).colour;
        const struct {
            void (Engine::*move)();
            int delta;
        } moves[] = {{&Engine::MoveLeft, -1}, {&Engine::MoveRight, 1}, {&Engine::QuarterTurn, 0}};
        for (auto [move, delta] : moves) {
            const auto before = e->Piece();
            const auto revision = e->Revision();
            (e.get()->*move)();
            QVERIFY(e->Revision() > revision);
            for (std::size_t slot = 0; delta && slot < 4; ++slot)
                QCOMPARE(e->Piece()[slot], before[slot] + delta);
            for (int p : e->Piece())
                QCOMPARE(e->Block(p).colour, colour);
            QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
        }
        const auto before = e->Piece();
        QCOMPARE(e->StepDown(), StepResult::Moved);
        for (std::size_t slot = 0; slot < 4; ++slot)
            QCOMPARE(e->Piece()[slot], before[slot] + 10);
    }

    void aPieceLandsOnTheFloorAndOnBlocks() {
        auto e = Game(0, 0);
        QCOMPARE(e->Drop(), StepResult::Landed);
        QCOMPARE(RowText(*e, 24), std::string("..XXXX...."));
        QCOMPARE(e->Score(), 5);
        QVERIFY(InvariantBroken(*e).empty());

        // The next one rests on a block; a step that cannot go down lands it.
        e->PutBlock(PositionOf(*e, 15, 4), true);
        e->PutBlock(PositionOf(*e, 15, 5), true);
        while (e->CanMove(Move::Down))
            e->StepDown();
        e->Tick();
        QCOMPARE(e->StepDown(), StepResult::Landed);
        QCOMPARE(e->TickCount(), 0);
        QCOMPARE(e->Score(), 10);
        QCOMPARE(RowText(*e, 14).substr(4, 2), std::string("XX"));
        QVERIFY(InvariantBroken(*e).empty());
    }

    void youDieMayStartANewGameFromInsideTheStep() {
        auto e = Game(0, 0);
        int calls = 0;
        e->YouDie = [&] {
            ++calls;
            e->BoardCols = 20; // a new size frees the old board under the step
            e->BoardRows = 35;
            e->NewGame();
        };
        e->PutBlock(PositionOf(*e, 5, 9), true);
        QCOMPARE(e->Drop(), StepResult::GameOver);
        QCOMPARE(calls, 1);
        QCOMPARE(e->BuiltCols(), 20);
        QCOMPARE(e->Score(), 0);
        QVERIFY(!e->GameOver());
        for (int p : e->Piece())
            QVERIFY(PlaceOf(*e, p).row < 5); // the drop did not go on with the new piece
        QVERIFY2(InvariantBroken(*e).empty(), InvariantBroken(*e).c_str());
        QCOMPARE(e->StepDown(), StepResult::Moved);
    }

    void aFinishedGameStaysStillUntilTheNext() {
        auto e = Game(0, 0);
        int calls = 0;
        e->YouDie = [&] { ++calls; };
        e->PutBlock(PositionOf(*e, 5, 0), true);
        QCOMPARE(e->StepDown(), StepResult::Moved);
        QCOMPARE(e->Drop(), StepResult::GameOver);
        QCOMPARE(calls, 1);
        QVERIFY(e->GameOver());
        const auto revision = e->Revision();
        QCOMPARE(e->StepDown(), StepResult::None);
        QCOMPARE(e->Tick(), StepResult::None);
        e->MoveLeft();
        e->QuarterTurn();
        QCOMPARE(e->Revision(), revision);
        QCOMPARE(calls, 1);
        e->NewGame();
        QCOMPARE(e->StepDown(), StepResult::Moved);
    }

    void theTimerStepsEveryTenMinusLevelTicks_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("ticks");
        QTest::newRow("level 1") << 1 << 9;
        QTest::newRow("level 5") << 5 << 5;
        QTest::newRow("level 9") << 9 << 1;
    }
    void theTimerStepsEveryTenMinusLevelTicks() {
        QFETCH(int, level);
        QFETCH(int, ticks);
        auto e = std::make_unique<Engine>();
        e->StartLevel = level;
        e->NewGame();
        for (int round = 0; round < 2; ++round) {
            for (int t = 1; t < ticks; ++t) {
                QCOMPARE(e->Tick(), StepResult::None);
                QCOMPARE(e->TickCount(), t);
            }
            QCOMPARE(e->Tick(), StepResult::Moved);
            QCOMPARE(e->TickCount(), 0);
        }
        if (ticks > 1) {
            e->Tick();
            e->StepDown(); // a step by key starts the count again
            QCOMPARE(e->TickCount(), 0);
        }
    }
};

QTEST_APPLESS_MAIN(EngineMovesTest)
#include "test_engine_moves.moc"
