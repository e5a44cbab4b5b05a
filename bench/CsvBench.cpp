// CSV exchange: exporting a breed's whole studbook, and importing a large file into an empty
// database with the automatic clean-up.

#include "exchange/DogCsvExport.h"
#include "exchange/DogCsvImport.h"
#include "store/DogDatabase.h"
#include "support/BenchDatabases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace lineara::bench {
namespace {

void BM_ExportCsv(benchmark::State& state) {
    const auto database = DogDatabase::Open(GeneratedDatabase(static_cast<qint32>(state.range(0))));
    QTemporaryDir folder;
    const QString out = QDir(folder.path()).filePath(QStringLiteral("all.csv"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExportDogsCsv(*database, out));
    }
    state.counters["MB"] = static_cast<double>(QFile(out).size()) / 1e6;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExportCsv)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_ImportCsv(benchmark::State& state) {
    QTemporaryDir folder;
    const QString csv = QDir(folder.path()).filePath(QStringLiteral("in.csv"));
    {
        const auto source =
            DogDatabase::Open(GeneratedDatabase(static_cast<qint32>(state.range(0))));
        ExportDogsCsv(*source, csv);
    }
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = QDir(folder.path()).filePath(QStringLiteral("t%1.mdb").arg(round++));
        DogDatabase::Create(target);
        const auto database = DogDatabase::Open(target);
        state.ResumeTiming();
        MaintenanceHooks hooks;
        benchmark::DoNotOptimize(ImportDogsCsv(*database, csv, {}, hooks).imported);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportCsv)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
