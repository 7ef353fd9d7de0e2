#pragma once

#include "Engine.h"

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Helpers shared by the engine tests: scripted rolls, a recording sound sink,
// board set-up and the invariants every move must keep.
namespace support {

using brickvane::Engine;

// The uniform value that rolls choice `i` of `n`.
inline double Choice(int i, int n) {
    return (i + 0.5) / n;
}

// Hands out `values` in order, then `rest` for ever.
inline brickvane::UniformSource Script(std::vector<double> values, double rest = 0.0) {
    auto queue = std::make_shared<std::vector<double>>(std::move(values));
    auto next = std::make_shared<std::size_t>(0);
    return [queue, next, rest] { return *next < queue->size() ? (*queue)[(*next)++] : rest; };
}

// Rolls for a game whose first piece is `type` turned `turns` times in colour
// `colour`, followed by `nextType`/`nextTurns`/`nextColour`.
inline brickvane::UniformSource FirstPieces(int type, int turns, int colour = 1, int nextType = 0,
                                            int nextTurns = 0, int nextColour = 1) {
    return Script({Choice(type, 7), Choice(colour, 7), Choice(turns, 4), Choice(nextType, 7),
                   Choice(nextTurns, 4), Choice(nextColour, 7)});
}

// Every piece the upright four-in-a-row (shape 0, one turn), colour 2: both
// roll orders (type, colour, turns and type, turns, colour) fit 0.07, 0.3, 0.3.
inline brickvane::UniformSource UprightBarsForever() {
    auto call = std::make_shared<int>(0);
    return [call] { return (*call)++ % 3 == 0 ? 0.07 : 0.3; };
}

// A started game of `cols` by `rows` whose first piece is as given.
inline std::unique_ptr<Engine> Game(int type, int turns, int cols = 10, int rows = 25) {
    auto engine = std::make_unique<Engine>();
    engine->BoardCols = cols;
    engine->BoardRows = rows;
    engine->SetRandomSource(FirstPieces(type, turns));
    engine->NewGame();
    return engine;
}

struct Place {
    int row;
    int col;
    bool operator==(const Place&) const = default;
};

inline Place PlaceOf(const Engine& e, int p) {
    return {p / e.BuiltCols(), p % e.BuiltCols()};
}
inline int PositionOf(const Engine& e, int row, int col) {
    return row * e.BuiltCols() + col;
}

// Steps the falling piece down until its pivot is in `row`, then sideways to
// `col`. False when the piece could not get there.
inline bool MovePivotTo(Engine& e, int row, int col) {
    while (PlaceOf(e, e.Piece()[0]).row < row)
        if (e.StepDown() != brickvane::StepResult::Moved)
            return false;
    while (PlaceOf(e, e.Piece()[0]).col > col && e.CanMove(brickvane::Move::Left))
        e.MoveLeft();
    while (PlaceOf(e, e.Piece()[0]).col < col && e.CanMove(brickvane::Move::Right))
        e.MoveRight();
    return PlaceOf(e, e.Piece()[0]) == Place{row, col};
}

// Fills `row` with landed blocks except the listed columns.
inline void FillRow(Engine& e, int row, std::initializer_list<int> gaps = {},
                    brickvane::Colour colour = 0x00FFFFFF) {
    for (int col = 0; col < e.BuiltCols(); ++col)
        if (std::find(gaps.begin(), gaps.end(), col) == gaps.end())
            e.PutBlock(PositionOf(e, row, col), true, colour);
}

// The occupied columns of a row, as a string: "X" occupied, "." empty.
inline std::string RowText(const Engine& e, int row) {
    std::string text;
    for (int col = 0; col < e.BuiltCols(); ++col)
        text += e.Board()[std::size_t(PositionOf(e, row, col))] ? 'X' : '.';
    return text;
}

// Arm offsets (dx, dy) from the pivot, slot order, from rows and columns.
using Arms = std::array<Place, 3>;

inline Arms ArmOffsets(const Engine& e, const std::array<int, 4>& cells) {
    const Place pivot = PlaceOf(e, cells[0]);
    Arms offsets;
    for (std::size_t slot = 1; slot < 4; ++slot) {
        const Place arm = PlaceOf(e, cells[slot]);
        offsets[slot - 1] = {arm.row - pivot.row, arm.col - pivot.col};
    }
    return offsets;
}

// The arms of each shape at spawn, (dx, dy) with y downward.
inline constexpr int SpawnArms[7][3][2] = {{{-2, 0}, {-1, 0}, {1, 0}}, {{1, 0}, {0, 1}, {1, 1}},
                                           {{-1, 0}, {1, 0}, {0, 1}},  {{-2, 0}, {-1, 0}, {0, 1}},
                                           {{1, 0}, {2, 0}, {0, 1}},   {{-1, 0}, {0, 1}, {1, 1}},
                                           {{1, 0}, {0, 1}, {-1, 1}}};

// Arm offsets, as rows and columns, of `type` after `turns` clockwise quarter turns.
inline Arms TurnedArms(int type, int turns) {
    Arms arms;
    for (std::size_t i = 0; i < 3; ++i) {
        int dx = SpawnArms[type][i][0], dy = SpawnArms[type][i][1];
        for (int t = 0; t < turns; ++t)
            std::tie(dx, dy) = std::pair(-dy, dx);
        arms[i] = {dy, dx};
    }
    return arms;
}

// What must hold after every move; empty when it does.
inline std::string InvariantBroken(const Engine& e) {
    if (!e.GameExists())
        return e.Board().empty() ? "" : "a board without a game";
    const auto count = std::size_t(e.PositionCount());
    const auto board = e.Board();
    const auto cells = e.Blocks();
    if (board.size() != count || cells.size() != count)
        return "board or cells not sized for the game";
    for (std::size_t p = 0; p < count; ++p)
        if (cells[p].shown != (board[p] != 0))
            return "cell " + std::to_string(p) + " shown differs from the board";
    if (cells[0].shown)
        return "position 0 used";
    for (std::size_t slot = 0; slot < 4; ++slot) {
        const int p = e.Piece()[slot];
        if (p <= 0 || std::size_t(p) >= count || !board[std::size_t(p)])
            return "piece cell " + std::to_string(p) + " not on the board or not marked";
        for (std::size_t other = 0; other < slot; ++other)
            if (e.Piece()[other] == p)
                return "piece cells overlap";
    }
    const Arms arms = ArmOffsets(e, e.Piece());
    bool known = false;
    for (int turns = 0; turns < 4 && !known; ++turns)
        known = arms == TurnedArms(e.PieceType(), turns);
    if (!known)
        return "piece lost its shape (wrapped round a side?)";
    if (e.Level() < 1 || e.Level() > brickvane::MaxLevel)
        return "level out of range";
    return {};
}

class RecordingSink : public brickvane::SoundSink {
public:
    void Play(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

} // namespace support
