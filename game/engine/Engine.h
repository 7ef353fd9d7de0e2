#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The Brickvane engine: board, pieces, movement, line clearing and scoring.
// It owns every cell's state; the game window only draws what it finds here.
namespace brickvane {

// The gravity timer's period. The game's speed is defined in ticks of the old
// PC clock (about 55 ms): level 1 steps down every 9 ticks, level 9 every tick.
inline constexpr std::chrono::milliseconds TickPeriod{55};

inline constexpr int HiddenRows = 5;
inline constexpr int ShapeCount = 7;
inline constexpr int PreviewSide = 5;
inline constexpr int PreviewCellCount = PreviewSide * PreviewSide;
inline constexpr int MaxLevel = 9;

// Cell geometry in twips.
inline constexpr int CellSize = 255;
inline constexpr int CellPitch = 240;
inline constexpr int OffBoard = -1000; // Left and Top of the cells of the hidden rows

// Ranges the settings may take; NewGame brings stray values back into them.
inline constexpr int MinBoardCols = 10, MaxBoardCols = 20;
inline constexpr int MinBoardRows = 25, MaxBoardRows = 35;
inline constexpr int MinUpgradeStep = 1000, MaxUpgradeStep = 2000;

using Colour = std::uint32_t; // 0x00BBGGRR

struct Cell {
    bool shown = false;
    bool created = false; // exists for the present board size
    Colour colour = 0;
};

struct CellPlace {
    int left = 0;
    int top = 0;
};

// Left/Top of preview cell i inside the preview box.
constexpr CellPlace PreviewCellPlace(int i) {
    return {15 + (i % PreviewSide) * CellPitch, 15 + (i / PreviewSide) * CellPitch};
}

// Plays one wave file without waiting; a file that cannot be played plays nothing.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void Play(const std::string& path) = 0;
};

// A uniform value in [0, 1).
using UniformSource = std::function<double()>;

// The move codes of CanMove: what the four buttons ask for.
enum class Move { Left, Right, Down, Turn };

enum class StepResult {
    None,     // no game, or the game is over: nothing happened
    Moved,    // the piece went one row down
    Landed,   // the piece landed and the next one is falling
    GameOver, // the piece landed, the next could not be placed; YouDie has run
};

class Engine {
public:
    // The program's start: palette, default settings, Level 1, no board, the
    // random source seeded from the clock.
    Engine();

    // ---- Settings (the settings window writes them directly) ----
    int KeyLeft = 37;
    int KeyRight = 39;
    int KeyDrop = 40;
    int KeyRotate = 38;
    int KeyStep = 96;
    int BoardCols = 10;
    int BoardRows = 25;
    int StartLevel = 1;
    int UpgradeStep = 1000;

    // ---- Hooks the game window fills in ----
    // Called from inside a step down when the next piece cannot be placed. It may
    // start a new game on this engine (NewGame) before it returns.
    std::function<void()> YouDie;
    // Called after every quarter turn that happened: give the board the focus.
    std::function<void()> FocusBoard;

    void SetSoundSink(SoundSink* sink) { sound_ = sink; } // not owned; null plays nothing
    void SetRandomSource(UniformSource source);           // empty: back to the clock-seeded one
    // The program's folder; a trailing separator is added, the sound paths follow it.
    void SetAppFolder(const std::string& folder);

    // ---- Game ----
    // The engine's part of starting a game: board, cells (built for a new size,
    // else hidden), Level, Score, TickCount, labels, preview, rolls, first spawn.
    // Settings out of their ranges are brought into them first; the window
    // sizes itself from BuiltCols/BuiltRows afterwards. Returns true when the
    // cells were built anew.
    bool NewGame();
    bool GameExists() const { return builtCols_ != 0; }
    bool GameOver() const { return GameExists() && nextType_ == -1; }

    // The four moves; each does nothing without a game or after game over.
    void MoveLeft();       // CmdLeft
    void MoveRight();      // CmdRight
    StepResult StepDown(); // CmdDown, KeyStep, the timer
    void QuarterTurn();    // CmdRevert
    StepResult Drop();     // KeyDrop: steps down until the piece lands
    StepResult Tick();     // one tick of the gravity timer
    int TicksPerStep() const { return 10 - level_; }

    // ---- The routines of the board and the pieces ----
    void PlaceNextPiece();
    void RotateNextPiece();
    bool SpawnPiece();
    void ShowPreview();
    bool IsPieceCell(int position) const;
    bool CanMove(Move move) const;
    // By key code, as the window's keys name the moves: KeyLeft, KeyRight,
    // KeyDrop, KeyRotate, tested in that order; any other code is refused.
    bool CanMove(int keyCode) const;
    bool SweepBlocked(int pivot, int arm) const;
    void LandPiece();
    void PlayLandSound();
    void PlayLineSound();
    void PlayLevelSound();

    // Puts a landed block at `position` (or removes one), for setting up
    // positions in tests and tools. Ignores the falling piece's cells and
    // positions outside the board.
    void PutBlock(int position, bool occupied, Colour colour = 0x00FFFFFF);

    // ---- State, read by the windows ----
    std::span<const std::int16_t> Board() const { return board_; }
    const std::array<int, 4>& Piece() const { return piece_; }
    int PieceType() const { return pieceType_; }
    const std::array<int, 4>& NextPiece() const { return nextPiece_; }
    int NextType() const { return nextType_; }
    int NextColor() const { return nextColor_; }
    int NextTurns() const { return nextTurns_; }
    const std::array<Colour, 8>& Palette() const { return palette_; }
    std::int32_t Score() const { return score_; }
    int Level() const { return level_; }
    int TickCount() const { return tickCount_; }
    int BuiltCols() const { return builtCols_; }
    int BuiltRows() const { return builtRows_; }
    int PositionCount() const { return builtCols_ * builtRows_; }
    const std::string& AppFolder() const { return appFolder_; }
    const std::string& SoundUpgrade() const { return soundUpgrade_; }
    const std::string& SoundDown() const { return soundDown_; }
    const std::string& SoundKillLine() const { return soundKillLine_; }
    const std::string& SoundDie() const { return soundDie_; }

    // The texts of LabelScore and LabelLevel (UTF-8); empty before the first game.
    const std::string& LabelScoreText() const { return labelScore_; }
    const std::string& LabelLevelText() const { return labelLevel_; }

    // Cells. Block(p) for 0 <= p < PositionCount(); BlockPreview(i) for 0 <= i < 25.
    const Cell& Block(int position) const { return cells_[std::size_t(position)]; }
    std::span<const Cell> Blocks() const { return cells_; }
    const Cell& BlockPreview(int i) const { return preview_[std::size_t(i)]; }
    const std::array<Cell, PreviewCellCount>& BlockPreviews() const { return preview_; }
    // Left/Top of Block(p) inside the board box; the hidden rows stand off the board.
    CellPlace BlockPlace(int position) const;

    // Grows with every change of a cell or a label, so a window repaints only
    // when this differs from what it last drew.
    std::uint64_t Revision() const { return revision_; }

private:
    int RollOf(int n);
    void SetScoreLabel();
    void SetLevelLabel(bool master);
    bool Playing() const { return GameExists() && !GameOver(); }
    void MovePiece(int delta);
    void DrawPiece(Colour colour);
    void MakeNextPiece();
    int TurnedArm(int pivot, int arm) const;
    bool ArmCanTurn(int pivot, int arm) const;
    void ClearPreview();
    void RemoveRows(const std::array<int, 4>& rows, int count);

    std::vector<std::int16_t> board_;
    std::vector<Cell> cells_;
    std::array<Cell, PreviewCellCount> preview_{};
    std::array<int, 4> piece_{};
    int pieceType_ = 0;
    std::array<int, 4> nextPiece_{};
    int nextType_ = 0;
    int nextColor_ = 0;
    int nextTurns_ = 0;
    std::array<Colour, 8> palette_{};
    std::int32_t score_ = 0;
    int level_ = 1;
    int tickCount_ = 0;
    int builtCols_ = 0;
    int builtRows_ = 0;
    std::string appFolder_;
    std::string soundUpgrade_, soundDown_, soundKillLine_, soundDie_;
    std::string labelScore_, labelLevel_;
    std::uint64_t revision_ = 0;
    SoundSink* sound_ = nullptr;
    UniformSource random_;
};

} // namespace brickvane
