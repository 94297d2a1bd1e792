// Measures the core's hot paths: dealing a game and the history operations.
#include <benchmark/benchmark.h>

#include "engine/game.h"
#include "tools/tool_host.h"

namespace {

using namespace trisk;

void BM_ShuffleAndDeal(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    game.GameKind = static_cast<TGameKind>(state.range(0));
    game.NewNumberWanted = false;
    uint32_t number = 1;
    for (auto _ : state) {
        game.RequestedNumber = number++;
        game.StartGame();
        benchmark::DoNotOptimize(game.Board);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(GameKindName(game.GameKind));
}
BENCHMARK(BM_ShuffleAndDeal)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
