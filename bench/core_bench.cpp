// Measures the core's hot paths: dealing a game, a step of the history at a
// long history, and saving and loading a long game.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "history/game.h"
#include "history/savefile.h"
#include "tools/tool_host.h"

namespace {

using namespace trisk;

constexpr int kLongHistory = 10000;

void BM_ShuffleAndDeal(benchmark::State& state) {
    TToolHost host;
    TGame game(host.Services());
    const auto kind = static_cast<TGameKind>(state.range(0));
    uint32_t number = 1;
    for (auto _ : state) {
        game.DealGameNumber(kind, number++);
        benchmark::DoNotOptimize(game.Board());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(GameKindName(kind));
}
BENCHMARK(BM_ShuffleAndDeal)->DenseRange(0, 3);

std::string BenchFile() {
    return "/tmp/trisk-bench-" + std::to_string(getpid()) + ".kxr";
}

// A Diamond game whose history holds kLongHistory entries, at the last one,
// with one card on the waste and inner pile 0 empty: a legal move at any
// time. It is loaded from a file, as a long game reaches the table.
void LongGame(TGame& game) {
    TPosition position = DealtPosition(gkDiamond, 17);
    position.Board.ClearBlock(gkDiamond);
    for (TCard& card : position.Board.Deck.Cards)
        card.Present = 0;
    TFault fault = TFault::None;
    position.Board.PutCard(gkDiamond, GroupWaste, 0, false, TCard::Make(1, 4), fault);
    TSolData entry{};
    entry.PassesLeft = position.PassesLeft;
    entry.SelGroup = -1;
    entry.Deck = position.Board.Deck;
    std::memcpy(entry.DiamondPiles, position.Board.DiamondPiles, sizeof entry.DiamondPiles);
    const THistory history(kLongHistory, entry);
    const std::vector<uint8_t> bytes =
        SerializeGame(gkDiamond, kLongHistory - 1, kLongHistory - 1, 0, history);
    const std::string path = BenchFile();
    PlatformFileStore().WriteFileAtomically(path, bytes);
    game.LoadGameFromFile(path);
    std::remove(path.c_str());
}

void BM_MoveAtLongHistory(benchmark::State& state) {
    TToolHost host;
    TGame game(host.Services());
    LongGame(game);
    for (auto _ : state) {
        state.PauseTiming();
        game.PickUp(GroupWaste, 0, 0, 0);
        state.ResumeTiming();
        game.PlayMove(GroupInner, 0);
        state.PauseTiming();
        // Back to where it was: the next move replaces this one's entry.
        game.UndoMove();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MoveAtLongHistory);

void BM_UndoAtLongHistory(benchmark::State& state) {
    TToolHost host;
    TGame game(host.Services());
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
    TGame game(host.Services());
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

void BM_SaveLongGame(benchmark::State& state) {
    TToolHost host;
    TGame game(host.Services());
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
    TGame game(host.Services());
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
