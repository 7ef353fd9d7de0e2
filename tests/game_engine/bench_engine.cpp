// Times the engine's three busiest operations on the largest board (20 by 35).
// Each should stay well below a microsecond.
#include "Engine.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

using namespace brickvane;

namespace {

// A 20 by 35 game whose pieces are all the flat bar, or all the upright one
// (rolls 0.07, 0.3, 0.3 give it in either roll order).
Engine LargeGame(bool upright) {
    Engine e;
    e.BoardCols = 20;
    e.BoardRows = 35;
    e.SetRandomSource([upright, call = 0]() mutable { return call++ % 3 && upright ? 0.3 : 0.07; });
    e.NewGame();
    return e;
}

// Runs `op` once on each of many copies of `start` and reports the time of
// one, because a single operation is far shorter than the clock's own cost.
template <typename Op> void TimeOnCopies(benchmark::State& state, const Engine& start, Op op) {
    std::vector<Engine> games(16, start);
    for (auto _ : state) {
        std::fill(games.begin(), games.end(), start);
        const auto begin = std::chrono::steady_clock::now();
        for (Engine& e : games)
            benchmark::DoNotOptimize(op(e));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count() / double(games.size()));
    }
}

void StepDown(benchmark::State& state) {
    Engine start = LargeGame(false);
    while (start.Piece()[0] < 15 * 20)
        start.StepDown();
    TimeOnCopies(state, start, [](Engine& e) { return e.StepDown() == StepResult::Moved; });
}

// The bar turns with the most cells to check.
void QuarterTurn(benchmark::State& state) {
    Engine start = LargeGame(false);
    while (start.Piece()[0] < 15 * 20)
        start.StepDown();
    TimeOnCopies(state, start, [](Engine& e) { return e.QuarterTurn(), e.Piece()[1]; });
}

// The step that lands the upright bar in a well, removes four rows, scores and
// spawns the next piece.
void LandFourRows(benchmark::State& state) {
    Engine start = LargeGame(true);
    for (int p = 31 * 20; p < 35 * 20; ++p)
        start.PutBlock(p, p % 20 != 9);
    while (start.CanMove(Move::Down))
        start.StepDown();
    TimeOnCopies(state, start, [](Engine& e) { return e.StepDown() == StepResult::Landed; });
    Engine check = start;
    if (check.StepDown(), check.Score() != 500)
        state.SkipWithError("the landing did not remove four rows");
}

} // namespace

BENCHMARK(StepDown)->UseManualTime();
BENCHMARK(QuarterTurn)->UseManualTime();
BENCHMARK(LandFourRows)->UseManualTime();
BENCHMARK_MAIN();
