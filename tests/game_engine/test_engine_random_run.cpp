// Long random play over random board sizes and seeds, checking the invariants
// after every single move. Under the sanitizers it also proves that nothing
// outside the board is ever touched.
#include "EngineSupport.h"

#include <QTest>
#include <optional>
#include <random>

using namespace brickvane;
using namespace support;

namespace {

constexpr int Rounds = 24;
constexpr int ActionsPerRound = 9000;
constexpr std::int32_t Points[] = {5, 100, 210, 350, 500};

struct Snapshot {
    std::vector<std::int16_t> board;
    std::vector<Colour> colours;
    std::array<int, 4> piece;
    std::int32_t score;

    explicit Snapshot(const Engine& e)
        : board(e.Board().begin(), e.Board().end()), colours(board.size()), piece(e.Piece()),
          score(e.Score()) {
        std::transform(e.Blocks().begin(), e.Blocks().end(), colours.begin(),
                       [](const Cell& cell) { return cell.colour; });
    }
};

// After a landing: the full rows the piece touched are gone, everything above
// came down, and the new piece stands in the hidden rows on empty positions.
std::string LandingBroken(const Engine& e, const Snapshot& before) {
    const int cols = e.BuiltCols(), rows = e.BuiltRows();
    std::vector<bool> full(std::size_t(rows), false);
    int removed = 0;
    for (int p : before.piece) {
        const int row = p / cols;
        const auto first = before.board.begin() + row * cols;
        if (!full[std::size_t(row)] && std::all_of(first, first + cols, [](auto b) { return b; }))
            full[std::size_t(row)] = true, ++removed;
    }
    std::vector<std::int16_t> board(before.board.size(), 0);
    std::vector<Colour> colours(before.colours.size(), 0);
    for (int read = rows - 1, write = rows - 1; read >= 0; --read) {
        if (full[std::size_t(read)])
            continue;
        for (int col = 0; col < cols; ++col) {
            board[std::size_t(write * cols + col)] = before.board[std::size_t(read * cols + col)];
            colours[std::size_t(write * cols + col)] =
                before.colours[std::size_t(read * cols + col)];
        }
        --write;
    }
    for (int p : e.Piece()) {
        if (board[std::size_t(p)])
            return "the new piece was drawn over a block";
        board[std::size_t(p)] = 1;
    }
    for (std::size_t p = 0; p < board.size(); ++p) {
        if ((board[p] != 0) != (e.Board()[p] != 0))
            return "rows did not shift correctly at position " + std::to_string(p);
        if (board[p] && !e.IsPieceCell(int(p)) && e.Block(int(p)).colour != colours[p])
            return "a landed block changed colour at position " + std::to_string(p);
    }
    const std::int32_t gained = e.Score() - before.score;
    if (gained != Points[removed])
        return "scored " + std::to_string(gained) + " for " + std::to_string(removed) + " rows";
    return {};
}

std::string MoveBroken(const std::array<int, 4>& before, const std::array<int, 4>& after,
                       int delta) {
    for (std::size_t slot = 0; slot < 4; ++slot)
        if (after[slot] != before[slot] + delta)
            return "the piece did not move as one by " + std::to_string(delta);
    return {};
}

class RandomPlayer {
public:
    explicit RandomPlayer(std::uint32_t seed) : rng_(seed) {
        engine_.SetRandomSource([gen = std::mt19937(seed * 7919u + 1)]() mutable {
            return double(gen()) / 4294967296.0;
        });
        engine_.YouDie = [this] {
            ++gamesLost_;
            if (Pick(2) == 0)
                StartGame(); // the dialog's OK, from inside the step down
        };
        engine_.FocusBoard = [this] { ++focused_; };
    }

    std::string Run(int actions) {
        for (int i = 0; i < 20; ++i) // before any game nothing may move
            if (Act() != "" || engine_.GameExists())
                return "something moved before a game";
        StartGame();
        for (int i = 0; i < actions; ++i) {
            if (engine_.GameOver() || Pick(2000) == 0)
                StartGame();
            std::string broken = Act();
            if (broken.empty())
                broken = InvariantBroken(engine_);
            if (!broken.empty())
                return "action " + std::to_string(i) + ": " + broken;
        }
        return {};
    }

    int gamesLost() const { return gamesLost_; }
    int turnsMade() const { return focused_; }
    int clears() const { return clears_; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    void StartGame() {
        // Now and then a value the settings window would never give.
        engine_.BoardCols = Pick(20) ? 10 + Pick(11) : Pick(40) - 5;
        engine_.BoardRows = Pick(20) ? 25 + Pick(11) : Pick(60) - 5;
        engine_.StartLevel = 1 + Pick(9);
        engine_.UpgradeStep = 1000 + 100 * Pick(11);
        engine_.NewGame();
    }

    std::string Act() {
        Engine& e = engine_;
        const auto piece = e.Piece();
        const int action = Pick(40);
        if (action < 6) {
            const bool can = e.CanMove(Move::Left);
            e.MoveLeft();
            return MoveBroken(piece, e.Piece(), can ? -1 : 0);
        }
        if (action < 12) {
            const bool can = e.CanMove(Move::Right);
            e.MoveRight();
            return MoveBroken(piece, e.Piece(), can ? 1 : 0);
        }
        if (action < 19)
            return Turned();
        if (action < 21) {
            const bool playing = e.GameExists() && !e.GameOver();
            return e.Drop() == StepResult::None && playing ? "a drop did nothing" : "";
        }
        if (action < 29)
            return Stepped([&] { return e.StepDown(); });
        if (action < 39)
            return Stepped([&] { return e.Tick(); });
        FillAroundLandingPlace();
        return {};
    }

    // Random play alone hardly ever completes a row: now and then fill the rows
    // where the piece would land, all but the cells it would take there.
    void FillAroundLandingPlace() {
        if (!engine_.GameExists() || engine_.GameOver())
            return;
        Engine probe = engine_;
        probe.YouDie = nullptr;
        probe.FocusBoard = nullptr;
        while (probe.CanMove(Move::Down))
            probe.StepDown();
        const auto landing = probe.Piece();
        const int cols = engine_.BuiltCols();
        for (int p : landing) {
            const int row = p / cols;
            if (row <= HiddenRows)
                continue;
            for (int q = row * cols; q < (row + 1) * cols; ++q)
                if (std::find(landing.begin(), landing.end(), q) == landing.end())
                    engine_.PutBlock(q, true, 0x00FF00FFu);
        }
    }

    std::string Turned() {
        Engine& e = engine_;
        const auto piece = e.Piece();
        if (!e.CanMove(Move::Turn)) {
            e.QuarterTurn();
            return MoveBroken(piece, e.Piece(), 0);
        }
        const int focused = focused_;
        const Arms arms = ArmOffsets(e, piece);
        e.QuarterTurn();
        Arms turned;
        for (std::size_t i = 0; i < 3; ++i)
            turned[i] = {arms[i].col, -arms[i].row}; // (dx, dy) to (-dy, dx)
        if (e.Piece()[0] != piece[0] || ArmOffsets(e, e.Piece()) != turned)
            return "the turn did not turn the arms a quarter about the pivot";
        return focused_ == focused + 1 ? "" : "the board did not get the focus";
    }

    // Only a step that cannot go down may land, so only then is the whole
    // board kept for comparing.
    template <typename Step> std::string Stepped(Step step) {
        const auto piece = engine_.Piece();
        const int cols = engine_.BuiltCols();
        std::optional<Snapshot> before;
        if (engine_.GameExists() && !engine_.CanMove(Move::Down))
            before.emplace(engine_);
        switch (step()) {
        case StepResult::None:
            return MoveBroken(piece, engine_.Piece(), 0);
        case StepResult::Moved:
            return MoveBroken(piece, engine_.Piece(), cols);
        case StepResult::Landed:
            if (!before)
                return "a piece that could go down landed";
            clears_ += engine_.Score() - before->score > Points[0];
            return LandingBroken(engine_, *before);
        case StepResult::GameOver:
            return {}; // the hook may have started a new game of another size
        }
        return {};
    }

    std::mt19937 rng_;
    Engine engine_;
    int gamesLost_ = 0;
    int focused_ = 0;
    int clears_ = 0; // landings that removed rows
};

} // namespace

class EngineRandomRunTest : public QObject {
    Q_OBJECT

private slots:
    void invariantsHoldThroughLongRandomPlay() {
        int gamesLost = 0, turns = 0, clears = 0;
        for (std::uint32_t seed = 1; seed <= Rounds; ++seed) {
            RandomPlayer player(seed);
            const std::string broken = player.Run(ActionsPerRound);
            QVERIFY2(broken.empty(), ("seed " + std::to_string(seed) + ", " + broken).c_str());
            gamesLost += player.gamesLost();
            turns += player.turnsMade();
            clears += player.clears();
        }
        // The run must really have reached game overs, turns and removed rows.
        QVERIFY(gamesLost > Rounds);
        QVERIFY(turns > Rounds * 100);
        QVERIFY(clears > 0);
        qInfo("%d actions, %d games lost, %d turns, %d landings removing rows",
              Rounds * ActionsPerRound, gamesLost, turns, clears);
    }
};

QTEST_APPLESS_MAIN(EngineRandomRunTest)
#include "test_engine_random_run.moc"
