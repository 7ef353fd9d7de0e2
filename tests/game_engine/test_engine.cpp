// The engine: spawning, previews, moves and their refusals, landing, points,
// levels, the key list, and a long random run checking invariants every move.
#include "Engine.h"
#include "Keys.h"

#include <QTest>
#include <random>
#include <ranges>
#include <set>

using namespace brickvane;

namespace {

using Cells = std::array<int, 4>;
using Arms = std::array<std::pair<int, int>, 3>; // (dx, dy) from the pivot, y downward

constexpr Arms SpawnArms[7] = {{{{-2, 0}, {-1, 0}, {1, 0}}}, {{{1, 0}, {0, 1}, {1, 1}}},
                               {{{-1, 0}, {1, 0}, {0, 1}}},  {{{-2, 0}, {-1, 0}, {0, 1}}},
                               {{{1, 0}, {2, 0}, {0, 1}}},   {{{-1, 0}, {0, 1}, {1, 1}}},
                               {{{1, 0}, {0, 1}, {-1, 1}}}};

Arms TurnedArms(int type, int turns) {
    Arms arms = SpawnArms[type];
    for (auto& [dx, dy] : arms)
        for (int t = 0; t < turns % 4; ++t)
            std::tie(dx, dy) = std::pair(-dy, dx); // clockwise, y downward
    return arms;
}

// An engine with helpers for rows and columns that records its sounds. Started
// with a shape and turns, every piece is that shape, the first in colour 5 and
// the rest in colour 3.
struct Game : Engine, SoundSink {
    Game() = default;
    Game(int type, int turns, int cols = 10, int startLevel = 1) {
        BoardCols = cols;
        StartLevel = startLevel;
        SetAppFolder("/game/");
        SetSoundSink(this);
        // The start rolls type, colour, turns; each spawn type, turns, colour.
        const std::vector<int> picks{type, 5, turns, type, turns, 3}, of{7, 7, 4, 7, 4, 7};
        SetRandomSource([=, next = std::size_t(0)]() mutable {
            const std::size_t i = next < 6 ? next++ : 3 + next++ % 3;
            return (picks[i] + 0.5) / of[i];
        });
        NewGame();
    }
    void Play(const std::string& path) override { played += path.substr(6) + " "; }
    std::string played; // file names after "/game/"
    int Row(int p) const { return p / BuiltCols(); }
    int Col(int p) const { return p % BuiltCols(); }
    int At(int row, int col) const { return row * BuiltCols() + col; }
    Arms ArmsOf(const Cells& c) const {
        Arms arms;
        for (std::size_t i = 0; i < 3; ++i)
            arms[i] = {Col(c[i + 1]) - Col(c[0]), Row(c[i + 1]) - Row(c[0])};
        return arms;
    }
    bool MovePivotTo(int row, int col) {
        while (Row(Piece()[0]) < row)
            if (StepDown() != StepResult::Moved)
                return false;
        while (Col(Piece()[0]) != col && CanMove(Col(Piece()[0]) > col ? Move::Left : Move::Right))
            Col(Piece()[0]) > col ? MoveLeft() : MoveRight();
        return Piece()[0] == At(row, col);
    }
    // Rows from `top` down, each ten cells and a space: "." no block, a digit a
    // block of that colour, "X" a white one.
    void FillRows(int top, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] != ' ')
                PutBlock(At(top, 0) + int(i - i / 11), text[i] != '.',
                         std::isdigit(text[i]) ? Colour(text[i] - '0') : 0xFFFFFF);
    }
    std::string Rows(int top, int count) const {
        std::string text;
        for (int p = At(top, 0); p < At(top + count, 0); ++p)
            text += std::string(p > At(top, 0) && !Col(p) ? " " : "") +
                    (!Board()[std::size_t(p)] ? '.'
                     : Block(p).colour < 10   ? char('0' + Block(p).colour)
                                              : 'X');
        return text;
    }
    std::ptrdiff_t Occupied() const {
        return std::ssize(Board()) - std::count(Board().begin(), Board().end(), 0);
    }
    // What must hold after every move; empty when it does.
    std::string Broken() const {
        const auto count = std::size_t(PositionCount());
        for (std::size_t p = 0; p < count; ++p)
            if (Blocks()[p].shown != (Board()[p] != 0))
                return "cell " + std::to_string(p) + " shown differs from the board";
        for (int p : Piece())
            if (GameExists() && (p <= 0 || std::size_t(p) >= count || !Board()[std::size_t(p)] ||
                                 std::count(Piece().begin(), Piece().end(), p) != 1))
                return "piece cell " + std::to_string(p) + " off the board, unmarked or doubled";
        for (int turns = 0; turns < 4; ++turns)
            if (!GameExists() || ArmsOf(Piece()) == TurnedArms(PieceType(), turns))
                return {};
        return "piece lost its shape (wrapped round a side?)";
    }
};

// Random moves, steps, ticks and drops over random board sizes; what broke, or "".
std::string RandomRun(std::uint32_t seed, int actions, int& lost, int& turns, int& clears) {
    constexpr std::int64_t Points[] = {5, 100, 210, 350, 500};
    std::mt19937 rng(seed);
    const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    Game e;
    const auto start = [&] { // now and then with values the settings window never gives
        e.BoardCols = pick(20) ? 10 + pick(11) : pick(40) - 5;
        e.BoardRows = pick(20) ? 25 + pick(11) : pick(60) - 5;
        e.StartLevel = 1 + pick(9);
        e.UpgradeStep = 1000 + 100 * pick(11);
        e.NewGame();
    };
    e.SetRandomSource(
        [gen = std::mt19937(seed * 7919u + 1)]() mutable { return double(gen()) / 4294967296.0; });
    e.YouDie = [&] {
        if (++lost, pick(2)) // the dialog's OK, from inside the step down
            start();
    };
    e.FocusBoard = [&] { ++turns; };
    for (int i = -20; i < actions; ++i) { // the first 20 before any game
        if (i >= 0 && (!e.GameExists() || e.GameOver() || pick(2000) == 0))
            start();
        const int action = pick(40), pivot = e.Piece()[0], cols = e.BuiltCols();
        const std::int64_t blocks = e.Occupied(), score = e.Score();
        std::string broken;
        if (action < 12) {
            action < 6 ? e.MoveLeft() : e.MoveRight();
        } else if (action < 18) {
            e.QuarterTurn();
            broken = e.Piece()[0] == pivot ? "" : "a turn moved the pivot";
        } else if (action == 39 && e.GameExists() && !e.GameOver()) {
            // Random play hardly ever completes a row: fill the rows where the
            // piece would land, all but the cells it would take there.
            Game probe = e;
            while (probe.CanMove(Move::Down))
                probe.StepDown();
            for (int p : probe.Piece())
                for (int q = p - p % cols; e.Row(p) > HiddenRows && q < p - p % cols + cols; ++q)
                    if (!probe.IsPieceCell(q))
                        e.PutBlock(q, true, 0xFF00FF);
        } else if (action < 39) {
            const StepResult result = action < 20   ? e.Drop()
                                      : action < 29 ? e.StepDown()
                                                    : e.Tick();
            // Four blocks landed and four came new; each removed row took a row's worth.
            const auto rows = std::find(Points, Points + 5, e.Score() - score) - Points;
            clears += result == StepResult::Landed && rows > 0;
            if (result == StepResult::Moved && e.Piece()[0] != pivot + cols)
                broken = "a step did not go one row down";
            if (result == StepResult::Landed && e.Occupied() != blocks + 4 - rows * cols)
                broken = "a landing lost or made blocks";
        }
        if (broken.empty())
            broken =
                i < 0 && (e.Revision() || e.GameExists()) ? "a move before any game" : e.Broken();
        if (!broken.empty())
            return "action " + std::to_string(i) + ": " + broken;
    }
    return {};
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    // On 10, 11 and 20 columns, every shape and turn: where it spawns (the
    // pivot's cell for the shapes whose pivot is in the upper row, and for 2, 5
    // and 6, whose pivot is in the lower); the next piece, the same, in the
    // preview with its pivot in column 2; no sideways move in the hidden rows;
    // and at either wall, no move further and only a turn that keeps it whole.
    void spawnsPreviewsAndWallsForEveryShapeAndTurn() {
        for (auto [cols, upper, lower] : {std::array{10, 24, 34}, {11, 26, 37}, {20, 49, 69}})
            for (int type = 0; type < 7; ++type)
                for (int turns = 0; turns < 4; ++turns) {
                    // columns, shape and turns: "2063" is 20 columns, shape 6 turned 3 times
                    const QByteArray name = QByteArray::number(cols * 100 + type * 10 + turns);
                    Game e(type, turns, cols);
                    std::set<std::pair<int, int>> shown, expected;
                    for (int i = 0; i < PreviewCellCount; ++i)
                        if (e.BlockPreview(i).shown && e.BlockPreview(i).colour == e.Palette()[3])
                            shown.insert({i / PreviewSide, i % PreviewSide});
                    for (int p : e.Piece())
                        expected.insert({e.Row(p), e.Col(p) - e.Col(e.Piece()[0]) + 2});
                    QVERIFY2(e.Piece()[0] == (type == 2 || type >= 5 ? lower : upper) &&
                                 e.PieceType() == type &&
                                 e.ArmsOf(e.Piece()) == TurnedArms(type, turns) &&
                                 e.Block(e.Piece()[0]).colour == e.Palette()[5] &&
                                 e.Broken().empty(),
                             name);
                    QVERIFY2(e.NextType() == type && e.NextTurns() == turns &&
                                 e.NextPiece() == e.Piece() && shown == expected,
                             name);
                    for (; std::ranges::min(e.Piece()) < 5 * cols; e.StepDown())
                        QVERIFY2(!e.CanMove(Move::Left) && !e.CanMove(e.KeyRight), name);
                    QVERIFY2(e.CanMove(Move::Left) && e.CanMove(e.KeyRight) &&
                                 !e.CanMove(e.KeyStep),
                             name);
                    for (int wall : {0, cols - 1}) {
                        Game g(type, turns, cols);
                        QVERIFY2(g.MovePivotTo(12, wall) ||
                                     !g.CanMove(wall ? Move::Right : Move::Left),
                                 name);
                        const auto [left, right] = std::ranges::minmax(
                            g.Piece() | std::views::transform([&g](int p) { return g.Col(p); }));
                        const Cells piece = g.Piece();
                        wall ? g.MoveRight() : g.MoveLeft();
                        QVERIFY2((wall ? right : left) == wall && g.Piece() == piece, name);
                        g.QuarterTurn(); // refused, or whole on the board
                        QVERIFY2(g.Broken().empty(), name + g.Broken().c_str());
                    }
                }
    }

    // A new game resets and rebuilds only for a new size; a landed block in
    // row 5 ends it; the timer steps every 10 - level ticks.
    void newGameGameOverAndTheTimer() {
        Game e(0, 0);
        e.StartLevel = 4;
        e.Drop();
        e.Tick();
        e.PutBlock(e.At(24, 9), true);
        QVERIFY(!e.NewGame() && e.Score() == 0 && e.Level() == 4 && e.TickCount() == 0);
        QCOMPARE(e.LabelScoreText() + e.LabelLevelText() + e.Rows(24, 1), "04..........");
        int died = 0;
        e.YouDie = [&] { ++died; };
        e.PutBlock(e.At(5, 9), true); // away from where the piece lands
        QVERIFY(e.Drop() == StepResult::GameOver && e.GameOver() && e.Broken().empty());
        QVERIFY(e.StepDown() == StepResult::None && !e.SpawnPiece() && died == 1);
        e.BoardCols = 20;
        e.BoardRows = 99; // out of range: brought back into it
        QVERIFY(e.NewGame());
        QVERIFY(e.Blocks().size() == 700 && e.BuiltRows() == 35 && e.Broken().empty());
        for (int level : {1, 5, 9}) {
            Game e(0, 1, 10, level);
            for (int tick = 1; tick <= 2 * (10 - level); ++tick)
                QCOMPARE(e.Tick(), tick % (10 - level) ? StepResult::None : StepResult::Moved);
            e.Tick(); // a step by key starts the count again
            QVERIFY(e.StepDown() == StepResult::Moved && e.TickCount() == 0);
        }
    }

    // A turn only where the shape fits; then the cells each arm sweeps on its way.
    void turnsOnlyWhereTheShapeFitsAndItsArmsSweepFree() {
        // shape, turns, pivot column and row, a block at (dx, dy) from the pivot, fits:
        // arms into the hidden rows, the walls, the square, shape 2's corner and
        // the sweep of the bar's long arm
        const int cases[][7] = {
            {0, 0, 4, 5, 0, 0, 0},    {0, 0, 4, 6, 0, 0, 0},    {0, 0, 4, 7, 0, 0, 1},
            {0, 1, 0, 12, 0, 0, 0},   {0, 1, 1, 12, 0, 0, 1},   {0, 1, 7, 12, 0, 0, 1},
            {0, 1, 8, 12, 0, 0, 0},   {0, 3, 1, 12, 0, 0, 0},   {0, 3, 2, 12, 0, 0, 1},
            {1, 0, 4, 12, 0, 0, 0},   {2, 0, 5, 12, 0, 0, 1},   {2, 0, 5, 12, 1, 1, 0},
            {0, 0, 5, 12, -2, -1, 0}, {0, 0, 5, 12, -1, -1, 0}, {0, 0, 5, 12, -2, -2, 0},
            {0, 0, 5, 12, -1, -2, 0}, {0, 0, 5, 12, -2, 1, 1}};
        for (const auto& [type, turns, col, row, dx, dy, ok] : cases) {
            const QByteArray name = "case " + QByteArray::number((&type - cases[0]) / 7);
            Game e(type, turns);
            QVERIFY2(e.MovePivotTo(row, col), name);
            if (dx || dy)
                e.PutBlock(e.At(row + dy, col + dx), true);
            int focused = 0;
            e.FocusBoard = [&] { ++focused; };
            QVERIFY2(e.CanMove(Move::Turn) == bool(ok) && e.CanMove(e.KeyRotate) == bool(ok), name);
            e.QuarterTurn();
            QVERIFY2(e.ArmsOf(e.Piece()) == TurnedArms(type, turns + ok) && focused == ok, name);
        }

        // On ten columns, offsets 10 * dy + dx: each arm, then the cells it sweeps.
        const int sweeps[][5] = {
            {-10, -9, 0, 0, 0},       {-11, -10, 0, 0, 0}, {11, 10, 0, 0, 0},
            {10, 9, 0, 0, 0},         {-9, 1, 0, 0, 0},    {1, 11, 0, 0, 0},
            {9, -1, 0, 0, 0},         {-1, -11, 0, 0, 0},  {-20, -9, -8, -19, -18},
            {-2, -12, -11, -22, -21}, {2, 12, 11, 22, 21}, {20, 8, 9, 18, 19}};
        for (const auto& sweep : sweeps) {
            Game e(1, 0); // the square, still in the hidden rows
            const int pivot = e.At(14, 5), arm = sweep[0];
            e.PutBlock(pivot - 33, true); // elsewhere: no matter
            QVERIFY(!e.SweepBlocked(pivot, pivot + arm));
            for (int i = 1; i < 5 && sweep[i]; ++i) {
                e.PutBlock(pivot + sweep[i], true);
                QVERIFY(e.SweepBlocked(pivot, pivot + arm));
                e.PutBlock(pivot + sweep[i], false);
                const int piecePivot = e.Piece()[0] - sweep[i];
                // even the piece's own cells block a long arm's sweep
                QCOMPARE(e.SweepBlocked(piecePivot, piecePivot + arm), sweep[2] != 0);
            }
        }
    }

    // Landings of the upright bar in column 4: five rows from `top` down, before
    // and after; a digit is a block of that colour, "X" one of another.
    void landingsRemoveOnlyTheRowsTheyComplete() {
        const struct {
            int turns, top, score;
            const char *before, *after;
        } cases[] = {{1, 20, 5, ".......... .......... .......... .......... .XXX.XXXXX",
                      ".......... ....X..... ....X..... ....X..... .XXXXXXXXX"},
                     // The bar's other upright turn clears rows just the same.
                     {3, 20, 350, ".......... .XXX.XXXXX XXXX.XXXXX XXXX.XXXXX XXXX.XXXXX",
                      ".......... .......... .......... .......... .XXXXXXXXX"},
                     {3, 20, 500, "1......... XXXX.XXXXX XXXX.XXXXX XXXX.XXXXX XXXX.XXXXX",
                      ".......... .......... .......... .......... 1........."},
                     // Only the rows the piece touches are looked at: the full row it lands on
                     // stays, the one it completes goes.
                     {1, 20, 100, ".......... .......... .XXX.XXXXX XXXX.XXXXX XXXXXXXXXX",
                      ".......... ....X..... ....X..... .XXXXXXXXX XXXXXXXXXX"},
                     // Reaching into the hidden rows, it completes two: what was above comes
                     // down by two, row 4's block exactly once, none left behind.
                     {1, 4, 210, ".......... .......... 2222.22222 2222.22222 .333333333",
                      ".......... .......... ....X..... ....X..... .333333333"},
                     // A kept row between two removed comes down on the row below.
                     {1, 20, 210, "..33.33333 4444.44444 .222.22222 4444.44444 .111111111",
                      ".......... .......... ..33X33333 .222X22222 .111111111"}};
        for (const auto& c : cases) {
            Game e(0, c.turns);
            e.FillRows(c.top, c.before);
            QCOMPARE(e.Drop(), StepResult::Landed);
            // The rows, the score's label and the sound.
            QCOMPARE(e.Rows(c.top, 5) + ' ' + e.LabelScoreText() + ' ' + e.played,
                     c.after + (' ' + std::to_string(c.score)) +
                         (c.score > 5 ? " Killline.wav " : " Down.wav "));
            // The new piece makes four more blocks, nothing else.
            const auto blocks = 50 - std::ranges::count(std::string_view(c.after), '.');
            QVERIFY2(e.Broken().empty() && e.Occupied() == blocks + 4, e.Broken().c_str());
        }
    }

    // From level 7, landings of the upright bar that remove 3, 2, 2, 2, 0, 0,
    // 0, 0 (crossing 1000 by the last, both sounds), 1, 4, 3, 1 (crossing 2000
    // by removed rows: only the level's sound), 4 and 4 (past the last level)
    // rows: the score, level, level label and sounds after each.
    void theLevelRisesWithTheScore() {
        Game e(0, 1, 10, 7);
        std::string seen;
        for (int rows : {3, 2, 2, 2, 0, 0, 0, 0, 1, 4, 3, 1, 4, 4}) {
            // An empty board but for the bottom rows, full except for column 4.
            for (int p = 1; p < e.PositionCount(); ++p)
                e.PutBlock(p, false);
            for (int row = 25 - rows; row < 25; ++row)
                e.FillRows(row, "XXXX.XXXXX");
            e.played.clear();
            QCOMPARE(e.Drop(), StepResult::Landed);
            seen += std::to_string(e.Score()) + ' ' + std::to_string(e.Level()) + ' ' +
                    e.LabelLevelText() + ' ' + e.played + "| ";
        }
        QCOMPARE(seen, "350 7 7 Killline.wav | 560 7 7 Killline.wav | 770 7 7 Killline.wav | "
                       "980 7 7 Killline.wav | 985 7 7 Down.wav | 990 7 7 Down.wav | "
                       "995 7 7 Down.wav | 1000 8 8 Down.wav upgrade.wav | "
                       "1100 8 8 Killline.wav | 1600 8 8 Killline.wav | 1950 8 8 Killline.wav | "
                       "2050 9 9 upgrade.wav | 2550 9 9 Killline.wav | 3050 9 高手 upgrade.wav | ");
        e.NewGame();
        QCOMPARE(e.LabelLevelText(), "7");
    }

    void keyListRoundTrips() {
        for (int i = 0; i < KeyListSize; ++i)
            QCOMPARE(KeyCodeToListIndex(ListIndexToKeyCode(i)), i);
        std::string named;
        for (int code : {65, 90, 48, 57, 37, 40, 32, 13, 96, 105})
            named += std::string(KeyList[std::size_t(KeyCodeToListIndex(code))]) + ' ';
        QCOMPARE(named, "A Z 0 9 Left Down Space Enter NumPad0 NumPad9 ");
        QVERIFY(KeyCodeToListIndex(27) == -1 && ListIndexToKeyCode(52) == -1);
        QVERIFY(KeysAreDistinct({36, 38, 39, 37, 36})); // the step key may repeat one
        QVERIFY(!KeysAreDistinct({9, 9, 1, 2, 3}) && !KeysAreDistinct({36, 38, 39, 36, 42}));
    }

    void invariantsHoldThroughLongRandomPlay() {
        constexpr int Rounds = 24, Actions = 9000;
        int lost = 0, turns = 0, clears = 0;
        for (std::uint32_t seed = 1; seed <= Rounds; ++seed) {
            const std::string broken = RandomRun(seed, Actions, lost, turns, clears);
            QVERIFY2(broken.empty(), ("seed " + std::to_string(seed) + ", " + broken).c_str());
        }
        // The run must really have reached game overs, turns and removed rows.
        QVERIFY(lost > Rounds && turns > Rounds * 100 && clears > Rounds);
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "test_engine.moc"
