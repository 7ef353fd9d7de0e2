#include "Engine.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace brickvane {

namespace {

struct Offset {
    int dx;
    int dy;
};

struct Shape {
    int pivotRow; // rows below S of the pivot at spawn
    std::array<Offset, 3> arms;
};

constexpr std::array<Shape, ShapeCount> Shapes = {{
    {0, {{{-2, 0}, {-1, 0}, {1, 0}}}},
    {0, {{{1, 0}, {0, 1}, {1, 1}}}},
    {1, {{{-1, 0}, {1, 0}, {0, 1}}}},
    {0, {{{-2, 0}, {-1, 0}, {0, 1}}}},
    {0, {{{1, 0}, {2, 0}, {0, 1}}}},
    {1, {{{-1, 0}, {0, 1}, {1, 1}}}},
    {1, {{{1, 0}, {0, 1}, {-1, 1}}}},
}};

constexpr int SquareShape = 1;
constexpr std::array<std::int32_t, 5> PointsForRows = {5, 100, 210, 350, 500};

#ifdef _WIN32
constexpr char FolderSeparator = '\\';
#else
constexpr char FolderSeparator = '/';
#endif

UniformSource ClockSeededSource() {
    const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    return [generator = std::mt19937(std::uint32_t(seed))]() mutable {
        return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
    };
}

} // namespace

Engine::Engine()
    : palette_{0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0},
      random_(ClockSeededSource()) {}

void Engine::SetRandomSource(UniformSource source) {
    random_ = source ? std::move(source) : ClockSeededSource();
}

void Engine::SetAppFolder(const std::string& folder) {
    appFolder_ = folder;
    if (!appFolder_.empty() && appFolder_.back() != '/' && appFolder_.back() != FolderSeparator)
        appFolder_ += FolderSeparator;
    soundUpgrade_ = appFolder_ + "upgrade.wav";
    soundDown_ = appFolder_ + "Down.wav";
    soundKillLine_ = appFolder_ + "Killline.wav";
    soundDie_ = appFolder_ + "Die.wav";
}

int Engine::RollOf(int n) {
    const double r = random_();
    // A source that strays outside [0, 1) still gives a valid choice.
    if (!(r > 0.0))
        return 0;
    return std::min(int(r * n), n - 1);
}

// ---- Game ----

bool Engine::NewGame() {
    BoardCols = std::clamp(BoardCols, MinBoardCols, MaxBoardCols);
    BoardRows = std::clamp(BoardRows, MinBoardRows, MaxBoardRows);
    StartLevel = std::clamp(StartLevel, 1, MaxLevel);
    UpgradeStep = std::clamp(UpgradeStep, MinUpgradeStep, MaxUpgradeStep);

    const int count = BoardCols * BoardRows;
    board_.assign(std::size_t(count), 0);
    const bool rebuild = BoardCols != builtCols_ || BoardRows != builtRows_;
    if (rebuild) {
        cells_.assign(std::size_t(count), Cell{false, true, 0});
    } else {
        for (Cell& cell : cells_)
            cell.shown = false;
    }

    level_ = StartLevel;
    score_ = 0;
    tickCount_ = 0;
    SetLevelLabel(false);
    SetScoreLabel();
    ClearPreview();
    builtCols_ = BoardCols;
    builtRows_ = BoardRows;

    nextType_ = RollOf(ShapeCount);
    nextColor_ = RollOf(ShapeCount);
    nextTurns_ = RollOf(4);
    MakeNextPiece();
    SpawnPiece(); // an empty board always takes the first piece
    ++revision_;
    return rebuild;
}

void Engine::MoveLeft() {
    if (Playing() && CanMove(Move::Left))
        MovePiece(-1);
}

void Engine::MoveRight() {
    if (Playing() && CanMove(Move::Right))
        MovePiece(1);
}

StepResult Engine::StepDown() {
    if (!Playing())
        return StepResult::None;
    if (CanMove(Move::Down)) {
        MovePiece(builtCols_);
        tickCount_ = 0;
        return StepResult::Moved;
    }
    LandPiece();
    if (SpawnPiece()) {
        tickCount_ = 0;
        return StepResult::Landed;
    }
    // The hook runs a modal dialog that may start a new game on this engine, and
    // may even replace itself: call a copy and touch nothing but the count after.
    if (auto youDie = YouDie)
        youDie();
    tickCount_ = 0;
    return StepResult::GameOver;
}

void Engine::QuarterTurn() {
    if (!Playing() || !CanMove(Move::Turn))
        return;
    const int pivot = piece_[0];
    const Colour colour = cells_[std::size_t(pivot)].colour;
    std::array<int, 4> turned = piece_;
    for (std::size_t slot = 1; slot < 4; ++slot)
        turned[slot] = TurnedArm(pivot, piece_[slot]);
    for (std::size_t slot = 1; slot < 4; ++slot) {
        board_[std::size_t(piece_[slot])] = 0;
        cells_[std::size_t(piece_[slot])].shown = false;
    }
    piece_ = turned;
    DrawPiece(colour);
    if (FocusBoard)
        FocusBoard();
}

StepResult Engine::Drop() {
    // Every landing changes the score, so this is the old "step while the score
    // stays"; it also ends when there is nothing to step.
    StepResult result;
    do {
        result = StepDown();
    } while (result == StepResult::Moved);
    return result;
}

StepResult Engine::Tick() {
    if (!Playing())
        return StepResult::None;
    if (++tickCount_ < TicksPerStep())
        return StepResult::None;
    tickCount_ = 0;
    return StepDown();
}

void Engine::MovePiece(int delta) {
    const Colour colour = cells_[std::size_t(piece_[0])].colour;
    for (int& p : piece_) {
        board_[std::size_t(p)] = 0;
        cells_[std::size_t(p)].shown = false;
        p += delta;
    }
    DrawPiece(colour);
}

void Engine::DrawPiece(Colour colour) {
    for (const int p : piece_) {
        board_[std::size_t(p)] = 1;
        cells_[std::size_t(p)] = {true, true, colour};
    }
    ++revision_;
}

// ---- Next piece ----

void Engine::PlaceNextPiece() {
    if (nextType_ < 0 || nextType_ >= ShapeCount || !GameExists())
        return;
    const int cols = builtCols_;
    const Shape& shape = Shapes[std::size_t(nextType_)];
    const int pivot = (HiddenRows * cols) / 2 - 1 + shape.pivotRow * cols;
    nextPiece_[0] = pivot;
    for (std::size_t arm = 0; arm < 3; ++arm)
        nextPiece_[arm + 1] = pivot + shape.arms[arm].dy * cols + shape.arms[arm].dx;
}

void Engine::MakeNextPiece() {
    PlaceNextPiece();
    for (int turn = 0; turn < nextTurns_; ++turn)
        RotateNextPiece();
}

void Engine::RotateNextPiece() {
    if (!GameExists())
        return;
    std::array<int, 4> turned = nextPiece_;
    for (std::size_t slot = 1; slot < 4; ++slot)
        turned[slot] = TurnedArm(nextPiece_[0], nextPiece_[slot]);
    nextPiece_ = turned;
}

int Engine::TurnedArm(int pivot, int arm) const {
    const int cols = builtCols_;
    const int d = arm - pivot;
    if (d >= -3 && d <= 3)
        return pivot + d * cols;
    if (d == -(cols + 1))
        return pivot - cols + 1;
    if (d == -(cols - 1))
        return pivot + cols + 1;
    if (d == cols - 1)
        return pivot - cols - 1;
    if (d == cols + 1)
        return pivot + cols - 1;
    return pivot - d / cols;
}

bool Engine::SpawnPiece() {
    if (nextType_ == -1 || !GameExists())
        return false;
    pieceType_ = nextType_;
    const Colour colour = palette_[std::size_t(nextColor_)];
    piece_ = nextPiece_;
    DrawPiece(colour);

    const auto rowFive = board_.begin() + HiddenRows * builtCols_;
    if (std::any_of(rowFive, rowFive + builtCols_, [](std::int16_t b) { return b != 0; })) {
        nextType_ = -1;
        return false;
    }

    nextType_ = RollOf(ShapeCount);
    nextTurns_ = RollOf(4);
    nextColor_ = RollOf(ShapeCount);
    MakeNextPiece();
    ShowPreview();
    return true;
}

void Engine::ClearPreview() {
    for (Cell& cell : preview_)
        cell.shown = false;
    ++revision_;
}

void Engine::ShowPreview() {
    const int cols = builtCols_;
    if (cols == 0)
        return;
    ClearPreview();
    const int q0 = cols / 2 - 3;
    for (const int b : nextPiece_) {
        const int q = b - q0;
        const int row = q / cols, col = q % cols;
        if (q < 0 || row >= PreviewSide || col >= PreviewSide)
            continue;
        Cell& cell = preview_[std::size_t(row * PreviewSide + col)];
        cell.shown = true;
        cell.colour = palette_[std::size_t(nextColor_)];
    }
}

bool Engine::IsPieceCell(int position) const {
    return std::find(piece_.begin(), piece_.end(), position) != piece_.end();
}

// ---- Collision ----

bool Engine::CanMove(int keyCode) const {
    if (keyCode == KeyLeft)
        return CanMove(Move::Left);
    if (keyCode == KeyRight)
        return CanMove(Move::Right);
    if (keyCode == KeyDrop)
        return CanMove(Move::Down);
    if (keyCode == KeyRotate)
        return CanMove(Move::Turn);
    return false;
}

bool Engine::CanMove(Move move) const {
    if (!GameExists())
        return false;
    const int cols = builtCols_;
    const int firstVisible = HiddenRows * cols;
    const auto freeFor = [this](int p) { return IsPieceCell(p) || board_[std::size_t(p)] == 0; };
    const auto all = [this](auto&& test) {
        return std::all_of(piece_.begin(), piece_.end(), test);
    };

    switch (move) {
    case Move::Left:
        return all([&](int p) { return p % cols != 0 && p >= firstVisible && freeFor(p - 1); });
    case Move::Right:
        return all(
            [&](int p) { return p % cols != cols - 1 && p >= firstVisible && freeFor(p + 1); });
    case Move::Down:
        return all([&](int p) { return p / cols != builtRows_ - 1 && freeFor(p + cols); });
    case Move::Turn:
        if (pieceType_ == SquareShape)
            return false;
        if (!all([&](int p) { return p >= firstVisible; }))
            return false;
        return ArmCanTurn(piece_[0], piece_[1]) && ArmCanTurn(piece_[0], piece_[2]) &&
               ArmCanTurn(piece_[0], piece_[3]);
    }
    return false;
}

bool Engine::ArmCanTurn(int pivot, int arm) const {
    const int cols = builtCols_;
    const int d = arm - pivot;
    const int target = TurnedArm(pivot, arm);
    if (target < 0 || target >= PositionCount())
        return false;
    if (!IsPieceCell(target)) {
        if (board_[std::size_t(target)] != 0)
            return false;
        const int rowDistance = std::abs(target / cols - pivot / cols);
        const int colDistance = std::abs(target % cols - pivot % cols);
        const bool inRow = d >= -3 && d <= 3;
        const bool diagonal =
            d == -(cols + 1) || d == -(cols - 1) || d == cols - 1 || d == cols + 1;
        if (inRow && colDistance != 0)
            return false;
        // A turn may not wrap round the side of the board.
        if (diagonal && rowDistance + colDistance > 4)
            return false;
        if (!inRow && !diagonal && rowDistance != 0)
            return false;
    }
    return !SweepBlocked(pivot, arm) && target >= HiddenRows * cols;
}

bool Engine::SweepBlocked(int pivot, int arm) const {
    const int cols = builtCols_;
    const int count = PositionCount();
    const auto takenBySomethingElse = [&](int p) {
        return p < 0 || p >= count || (board_[std::size_t(p)] != 0 && !IsPieceCell(p));
    };
    const auto anyTaken = [&](std::initializer_list<int> cells) {
        return std::any_of(cells.begin(), cells.end(), [&](int p) {
            return p < 0 || p >= count || board_[std::size_t(p)] != 0;
        });
    };

    const int d = arm - pivot;
    // A short arm passes one corner cell on its way to the next side.
    if (d == -cols || d == -cols - 1)
        return takenBySomethingElse(arm + 1);
    if (d == cols + 1 || d == cols)
        return takenBySomethingElse(arm - 1);
    if (d == 1 - cols || d == 1)
        return takenBySomethingElse(arm + cols);
    if (d == cols - 1 || d == -1)
        return takenBySomethingElse(arm - cols);
    // A long arm sweeps a 2 by 2 block.
    const int c = cols;
    if (d == -2 * c)
        return anyTaken({pivot - c + 1, pivot - c + 2, pivot - 2 * c + 1, pivot - 2 * c + 2});
    if (d == -2)
        return anyTaken({pivot - c - 2, pivot - c - 1, pivot - 2 * c - 2, pivot - 2 * c - 1});
    if (d == 2)
        return anyTaken({pivot + c + 2, pivot + c + 1, pivot + 2 * c + 2, pivot + 2 * c + 1});
    if (d == 2 * c)
        return anyTaken({pivot + c - 2, pivot + c - 1, pivot + 2 * c - 2, pivot + 2 * c - 1});
    return true;
}

// ---- Landing and scoring ----

void Engine::LandPiece() {
    if (!GameExists())
        return;
    const int cols = builtCols_;
    const std::int32_t oldScore = score_;
    std::array<int, 4> fullRows{};
    int fullCount = 0;
    for (const int p : piece_) {
        const int row = p / cols;
        const auto first = board_.begin() + row * cols;
        if (std::find(first, first + cols, std::int16_t(0)) != first + cols)
            continue;
        const auto end = fullRows.begin() + fullCount;
        const auto at = std::lower_bound(fullRows.begin(), end, row);
        if (at != end && *at == row)
            continue;
        std::copy_backward(at, end, end + 1);
        *at = row;
        ++fullCount;
    }

    if (fullCount > 0) {
        RemoveRows(fullRows, fullCount);
        score_ += PointsForRows[std::size_t(fullCount)];
    } else {
        PlayLandSound();
        score_ += PointsForRows[0];
    }

    if (score_ / UpgradeStep == oldScore / UpgradeStep) {
        if (score_ - oldScore > 10)
            PlayLineSound();
    } else {
        PlayLevelSound();
        ++level_;
        const bool master = level_ > MaxLevel;
        if (master)
            level_ = MaxLevel;
        SetLevelLabel(master);
    }
    SetScoreLabel();
    ++revision_;
}

// Everything above the removed rows, hidden rows included, moves down by the
// number of removed rows below it, and as many empty rows come in at the top.
// Shifting the hidden rows too keeps a piece that landed partly in them whole.
void Engine::RemoveRows(const std::array<int, 4>& rows, int count) {
    const auto cols = std::ptrdiff_t(builtCols_);
    for (int i = count - 1; i >= 0; --i) {
        const std::ptrdiff_t top = i == 0 ? 0 : rows[std::size_t(i - 1)] + 1;
        const std::ptrdiff_t bottom = rows[std::size_t(i)]; // first row after the block
        const std::ptrdiff_t shift = (count - i) * cols;
        std::copy_backward(board_.begin() + top * cols, board_.begin() + bottom * cols,
                           board_.begin() + bottom * cols + shift);
        std::copy_backward(cells_.begin() + top * cols, cells_.begin() + bottom * cols,
                           cells_.begin() + bottom * cols + shift);
    }
    std::fill_n(board_.begin(), count * cols, std::int16_t(0));
    for (auto cell = cells_.begin(); cell != cells_.begin() + count * cols; ++cell)
        cell->shown = false;
}

void Engine::PlayLandSound() {
    if (sound_ && !soundDown_.empty())
        sound_->Play(soundDown_);
}

void Engine::PlayLineSound() {
    if (sound_ && !soundKillLine_.empty())
        sound_->Play(soundKillLine_);
}

void Engine::PlayLevelSound() {
    if (sound_ && !soundUpgrade_.empty())
        sound_->Play(soundUpgrade_);
}

void Engine::SetScoreLabel() {
    labelScore_ = std::to_string(score_);
    ++revision_;
}

void Engine::SetLevelLabel(bool master) {
    labelLevel_ = master ? "高手" : std::to_string(level_);
    ++revision_;
}

// ---- Cells ----

void Engine::PutBlock(int position, bool occupied, Colour colour) {
    if (position < 0 || position >= PositionCount() || IsPieceCell(position))
        return;
    board_[std::size_t(position)] = occupied ? 1 : 0;
    Cell& cell = cells_[std::size_t(position)];
    cell.shown = occupied;
    if (occupied)
        cell.colour = colour;
    ++revision_;
}

CellPlace Engine::BlockPlace(int position) const {
    const int cols = builtCols_;
    if (cols == 0 || position < HiddenRows * cols)
        return {OffBoard, OffBoard};
    return {(position % cols) * CellPitch, (position / cols - HiddenRows) * CellPitch};
}

} // namespace brickvane
