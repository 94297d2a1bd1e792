// How long the window waits for its cards: opening "cardset.dll" and loading
// one card set into the image list, as at start-up and after choosing a set.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QGuiApplication>

#include "table/card_images.h"
#include "table/resource_module.h"

namespace {

void OpenLibrary(benchmark::State& state) {
    for (auto _ : state) {
        auto library = trisk::TResourceModule::Open(TRISK_CARDSET_DLL);
        if (!library) state.SkipWithError("cannot open " TRISK_CARDSET_DLL);
        benchmark::DoNotOptimize(library);
    }
    state.counters["dll_bytes"] = double(QFileInfo(TRISK_CARDSET_DLL).size());
}
BENCHMARK(OpenLibrary)->Unit(benchmark::kMillisecond);

void OpenAndLoadCardSet(benchmark::State& state) {
    const QString sheet = trisk::CardSetSheetName(int(state.range(0)));
    for (auto _ : state) {
        auto library = trisk::TResourceModule::Open(TRISK_CARDSET_DLL);
        if (!library) {
            state.SkipWithError("cannot open " TRISK_CARDSET_DLL);
            break;
        }
        trisk::TCardImages list;
        int failures = 0;
        trisk::LoadCardSet(list, *library, sheet, [&](const QString&) { ++failures; });
        if (failures != 0 || list.Count() != 60) state.SkipWithError("card set did not load");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(OpenAndLoadCardSet)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void LoadCardSetOnly(benchmark::State& state) {
    auto library = trisk::TResourceModule::Open(TRISK_CARDSET_DLL);
    if (!library) {
        state.SkipWithError("cannot open " TRISK_CARDSET_DLL);
        return;
    }
    trisk::TCardImages list;
    for (auto _ : state) {
        trisk::LoadCardSet(list, *library, QStringLiteral("CARDSET1"), [](const QString&) {});
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(LoadCardSetOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
