// Times the engine's three busiest operations on the largest board (20 by 35).
// Each should stay well below a microsecond.
#include "Engine.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

using namespace brickvane;

namespace {

// Runs `op` once on each of 16 copies of a 20 by 35 game and reports the time
// of one: a single operation is far shorter than the clock's own cost. The
// game's falling bar lies flat in open space, or stands upright just above a
// well of four rows that it completes.
template <typename Op> void TimeOnCopies(benchmark::State& state, bool inWell, Op op) {
    Engine start;
    start.BoardCols = 20;
    start.BoardRows = 35;
    // The rolls 0.07, 0.3, 0.3 give the upright bar in either roll order.
    start.SetRandomSource([inWell, n = 0]() mutable { return n++ % 3 && inWell ? 0.3 : 0.07; });
    start.NewGame();
    for (int p = 31 * 20; inWell && p < 35 * 20; ++p)
        start.PutBlock(p, p % 20 != 9);
    while (inWell ? start.CanMove(Move::Down) : start.Piece()[0] < 15 * 20)
        start.StepDown();
    std::vector<Engine> games(16, start);
    for (auto _ : state) {
        std::fill(games.begin(), games.end(), start);
        const auto begin = std::chrono::steady_clock::now();
        for (Engine& e : games)
            benchmark::DoNotOptimize(op(e));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count() / double(games.size()));
    }
    if (!op(start))
        state.SkipWithError("the operation did not do what is timed");
}

void StepDown(benchmark::State& state) {
    TimeOnCopies(state, false, [](Engine& e) { return e.StepDown() == StepResult::Moved; });
}

// The bar's turn has the most cells to check.
void QuarterTurn(benchmark::State& state) {
    TimeOnCopies(state, false, [](Engine& e) { return e.QuarterTurn(), e.Piece()[1] % 20 == 9; });
}

// The landing step: four rows removed, the score, the next piece spawned.
void LandFourRows(benchmark::State& state) {
    TimeOnCopies(state, true, [](Engine& e) { return e.StepDown(), e.Score() == 500; });
}

} // namespace

BENCHMARK(StepDown)->UseManualTime();
BENCHMARK(QuarterTurn)->UseManualTime();
BENCHMARK(LandFourRows)->UseManualTime();
BENCHMARK_MAIN();
