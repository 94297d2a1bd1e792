// Measures the core's hot paths: dealing a game, a step of the history at a
// long history, and saving and loading a long game.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/game.h"
#include "tools/tool_host.h"

namespace {

using namespace trisk;

constexpr int kLongHistory = 10000;

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

// A Diamond game whose history holds kLongHistory entries, at the last one,
// with one card on the waste and inner pile 0 empty: a legal move at any time.
void LongGame(TGame& game) {
    game.GameKind = gkDiamond;
    game.NewNumberWanted = false;
    game.RequestedNumber = 17;
    game.StartGame();
    game.ClickStock();  // enables Undo
    game.Board.ClearBlock(gkDiamond);
    TFault fault = TFault::None;
    game.Board.PutCard(gkDiamond, GroupWaste, 0, false, TCard::Make(1, 4), fault);
    while (static_cast<int>(game.History.size()) < kLongHistory) {
        game.History.push_back(game.History.back());
    }
    game.MoveIndex = kLongHistory - 1;
    game.ActionCount = kLongHistory - 1;
}

void BM_MoveAtLongHistory(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    LongGame(game);
    for (auto _ : state) {
        game.SelGroup = GroupWaste;
        game.SelPile = 0;
        game.PlayMove(GroupInner, 0);
        state.PauseTiming();
        game.MoveCard(GroupInner, 0, GroupWaste, 0);
        game.History.pop_back();
        --game.MoveIndex;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MoveAtLongHistory);

void BM_UndoAtLongHistory(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    LongGame(game);
    for (auto _ : state) {
        game.UndoMove();
        state.PauseTiming();
        game.RedoMove();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoAtLongHistory);

void BM_RedoAtLongHistory(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    LongGame(game);
    game.UndoMove();
    for (auto _ : state) {
        game.RedoMove();
        state.PauseTiming();
        game.UndoMove();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RedoAtLongHistory);

std::string BenchFile() {
    return "/tmp/trisk-bench-" + std::to_string(getpid()) + ".kxr";
}

void BM_SaveLongGame(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    LongGame(game);
    const std::string path = BenchFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(game.WriteGameFile(path, 0));
    state.SetBytesProcessed(state.iterations() * (24 + int64_t{kLongHistory} * 6568));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveLongGame)->Unit(benchmark::kMillisecond);

void BM_LoadLongGame(benchmark::State& state) {
    TToolHost host;
    TGame game(host);
    LongGame(game);
    const std::string path = BenchFile();
    game.WriteGameFile(path, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(game.LoadGameFromFile(path));
    state.SetBytesProcessed(state.iterations() * (24 + int64_t{kLongHistory} * 6568));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadLongGame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
