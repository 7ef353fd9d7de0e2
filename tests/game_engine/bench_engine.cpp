// Times the engine's three busiest operations on the largest board (20 by 35).
// Each should stay well below a microsecond.
#include "Engine.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

using namespace brickvane;

namespace {

constexpr int Cols = 20, Rows = 35;

// Every piece the upright bar: both roll orders (type, colour, turns and
// type, turns, colour) fit 0.07, 0.3, 0.3.
UniformSource UprightBars() {
    auto call = std::make_shared<int>(0);
    return [call] { return (*call)++ % 3 == 0 ? 0.07 : 0.3; };
}

// Every piece the flat bar.
UniformSource FlatBars() {
    return [] { return 0.05; };
}

Engine LargeGame(UniformSource rolls) {
    Engine e;
    e.BoardCols = Cols;
    e.BoardRows = Rows;
    e.SetRandomSource(std::move(rolls));
    e.NewGame();
    return e;
}

template <typename Clock = std::chrono::steady_clock>
double SecondsSince(typename Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// One step down that moves the piece; timed over a whole fall and divided,
// because a single step is far shorter than the clock's own cost.
void StepDown(benchmark::State& state) {
    Engine start = LargeGame(FlatBars());
    while (start.Piece()[0] < HiddenRows * Cols)
        start.StepDown();
    constexpr int Steps = 24;
    for (auto _ : state) {
        Engine e = start;
        const auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < Steps; ++i)
            benchmark::DoNotOptimize(e.StepDown());
        state.SetIterationTime(SecondsSince(begin) / Steps);
    }
    Engine check = start;
    for (int i = 0; i < Steps; ++i)
        if (check.StepDown() != StepResult::Moved)
            state.SkipWithError("the piece landed within the timed steps");
}

// One quarter turn of the bar in open space, the turn with the most cells to check.
void QuarterTurn(benchmark::State& state) {
    Engine e = LargeGame(FlatBars());
    while (e.Piece()[0] / Cols < 15)
        e.StepDown();
    const auto piece = e.Piece();
    for (int i = 0; i < 4; ++i)
        e.QuarterTurn();
    if (e.Piece() != piece || !e.CanMove(Move::Turn))
        state.SkipWithError("the bar does not turn freely");
    for (auto _ : state) {
        e.QuarterTurn();
        benchmark::DoNotOptimize(e.Piece());
    }
}

// One landing that removes four rows: the step down that lands the upright
// bar in a well, the removal, the score, the spawn and preview of the next.
void LandFourRows(benchmark::State& state) {
    Engine start = LargeGame(UprightBars());
    const int well = Cols / 2 - 1;
    for (int row = Rows - 4; row < Rows; ++row)
        for (int col = 0; col < Cols; ++col)
            if (col != well)
                start.PutBlock(row * Cols + col, true);
    while (start.CanMove(Move::Down))
        start.StepDown();
    constexpr int Landings = 16;
    std::vector<Engine> games(Landings, start);
    for (auto _ : state) {
        std::fill(games.begin(), games.end(), start);
        const auto begin = std::chrono::steady_clock::now();
        for (Engine& e : games)
            benchmark::DoNotOptimize(e.StepDown());
        state.SetIterationTime(SecondsSince(begin) / Landings);
    }
    if (games.front().Score() != 500)
        state.SkipWithError("the landing did not remove four rows");
}

} // namespace

BENCHMARK(StepDown)->UseManualTime();
BENCHMARK(QuarterTurn);
BENCHMARK(LandFourRows)->UseManualTime();
BENCHMARK_MAIN();
