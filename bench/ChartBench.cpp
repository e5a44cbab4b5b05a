// The chart's two steps on a generated pedigree of a million dogs: FillChart for six
// generations (every place read from the store) and ArrangeChart for 127 places measured
// with the real fonts.

#include "support/BenchDatabases.h"

#include "app/SettingsFile.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/FontTextMeasurer.h"
#include "chart/RepeatedAncestors.h"
#include "store/RecordStore.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace lineara::bench {
namespace {

constexpr qint32 kDogs = 1'000'000;

// Fonts need a GUI application; nothing is ever shown.
void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "bench_chart";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QGuiApplication app(argc, argv);
    }
}

// The store stays open across benchmarks, as the main window's cursor does.
RecordStore& SharedStore() {
    static RecordStore store(GeneratedDatabase(kDogs));
    return store;
}

// The newest dog: in a generated pedigree one of the last generation, with the deepest
// ancestry.
qint32 LastDog(RecordStore& store) {
    store.MoveLast();
    return store.DogID();
}

ViewState SixGenerations() {
    ViewState view = ViewStateFromSettings(RestoreDefaultSettings());
    view.num_gens = 6;
    view.additional_info = kAddlIC;
    return view;
}

void BM_FillChart(benchmark::State& state) {
    RecordStore& store = SharedStore();
    const ViewState view = SixGenerations();
    const qint32 last = LastDog(store);
    ChartModel model;
    for (auto _ : state) {
        qint32 root = last;
        model.FillChart(store, root, view);
        benchmark::DoNotOptimize(model.DogAt(kMaxPositions));
    }
    int occupied = 0;
    for (int p = 1; p <= kMaxPositions; ++p) {
        occupied += model.DogAt(p) != 0 ? 1 : 0;
    }
    state.counters["occupied"] = occupied;
}
BENCHMARK(BM_FillChart)->Unit(benchmark::kMillisecond);

// fresh_measurer: a new measurer on every run, the worst a repaint can bring; otherwise one
// kept across runs, as a chart window keeps it.
void ArrangeBench(benchmark::State& state, bool fresh_measurer, QSizeF area, bool highlight = false) {
    EnsureGuiApplication();
    RecordStore& store = SharedStore();
    ViewState view = SixGenerations();
    view.highlight_repeats = highlight;
    const SettingsRecord settings = RestoreDefaultSettings();
    qint32 root = LastDog(store);
    ChartModel model;
    model.FillChart(store, root, view);
    auto kept = std::make_unique<FontTextMeasurer>(96);
    for (auto _ : state) {
        std::unique_ptr<FontTextMeasurer> fresh;
        if (fresh_measurer) {
            fresh = std::make_unique<FontTextMeasurer>(96);
        }
        const ChartGeometry geometry =
            ArrangeChart(model, view, settings, area, fresh ? *fresh : *kept, QSizeF(32, 20));
        benchmark::DoNotOptimize(geometry.font_size);
    }
}

void BM_ArrangeChart(benchmark::State& state) {
    ArrangeBench(state, true, QSizeF(1280, 800));
}
void BM_ArrangeChartKeptMeasurer(benchmark::State& state) {
    ArrangeBench(state, false, QSizeF(1280, 800));
}
// A tall, narrow window: both fitting loops run several rounds over all 127 names.
void BM_ArrangeChartNarrow(benchmark::State& state) {
    ArrangeBench(state, true, QSizeF(700, 3500));
}
// What View > Highlight Repeated Ancestors adds: compare with BM_ArrangeChartKeptMeasurer.
void BM_ArrangeChartKeptMeasurerHighlighted(benchmark::State& state) {
    ArrangeBench(state, false, QSizeF(1280, 800), true);
}
// The worst chart for the highlight: 127 places shared by 20 dogs, every place marked.
void BM_RepeatedAncestorsEveryPlaceRepeated(benchmark::State& state) {
    ChartModel model;
    for (int p = 1; p <= kMaxPositions; ++p) {
        ChartEntry entry;
        entry.dog = 1 + p % 20;
        model.SetEntry(p, entry);
    }
    for (auto _ : state) {
        const RepeatedAncestors repeats = RepeatedAncestors::Find(model, kMaxPositions);
        QString hints;
        for (int p = 1; p <= kMaxPositions; ++p) {
            hints = RepeatHint(repeats.At(p));
        }
        benchmark::DoNotOptimize(hints);
    }
}
BENCHMARK(BM_ArrangeChartKeptMeasurerHighlighted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepeatedAncestorsEveryPlaceRepeated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArrangeChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrangeChartKeptMeasurer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrangeChartNarrow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lineara::bench
