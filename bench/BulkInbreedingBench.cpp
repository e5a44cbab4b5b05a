// Every dog's coefficient at once (Analysis > Inbreeding Coefficients for All Dogs…, coi --all)
// at the chosen depth and over all known generations, and the ranking of the sires for a dam
// (Analysis > Best Sires for This Dam…, rank-sires).

#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/MateRanking.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"
#include "support/BenchDatabases.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lineara::bench {
namespace {

QString Population(int which) {
    if (which == 2) return GeneratedDatabase(1000000);
    PedigreeOptions o;
    o.seed = 1;
    o.generations = 40;
    o.dogs = which == 0 ? 50000 : 200000;
    o.inbreeding = 0.3;
    return CachedDatabase(o, QString::fromLatin1(which == 0 ? "50k_rate0.3" : "200k_rate0.3"));
}
const char* Label(int which) {
    return which == 0 ? "50k_rate0.3" : which == 1 ? "200k_rate0.3" : "generated_1M";
}

void BM_ReadPedigree(benchmark::State& state) {
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(Population(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const PedigreeTable table = ReadPedigreeTable(*database);
        benchmark::DoNotOptimize(table.ids.data());
    }
    state.SetLabel(Label(static_cast<int>(state.range(0))));
}

// The computation alone, the pedigree already in memory; range(1) is the depth, 0 for all
// known generations.
void BM_AllDogs(benchmark::State& state) {
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(Population(static_cast<int>(state.range(0))));
    const PedigreeTable table = ReadPedigreeTable(*database);
    const int generations = static_cast<int>(state.range(1));
    NoProgress quiet;
    for (auto _ : state) {
        const auto figures = generations == kAllKnownGenerations
                                 ? CoefficientsOverAllGenerations(table, quiet)
                                 : CoefficientsAtDepth(table, generations, quiet);
        benchmark::DoNotOptimize(figures->data());
    }
    state.SetLabel(Label(static_cast<int>(state.range(0))));
}

// coi --all --gens all --store on a copy of the million-dog database: read, compute, store.
void BM_AllGenerationsStored(benchmark::State& state) {
    QTemporaryDir folder;
    const QString copy = QDir(folder.path()).filePath(QStringLiteral("copy.mdb"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(copy);
        QFile::copy(Population(2), copy);
        state.ResumeTiming();
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(copy);
        const PedigreeTable table = ReadPedigreeTable(*database);
        NoProgress quiet;
        benchmark::DoNotOptimize(RunAllCoefficients(*database, table, kAllKnownGenerations, true, quiet));
    }
    state.SetLabel("generated_1M");
}

// 1,000 candidate sires for the youngest dam with offspring-age relatives, at 10 generations.
void BM_RankSires(benchmark::State& state) {
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(Population(1));
    const PedigreeTable table = ReadPedigreeTable(*database);
    sqlite::Statement youngest(database->Connection(),
                               "SELECT DogID FROM DogInfo WHERE SexMale = 0 AND SireID > 0 AND DamID > 0 "
                               "ORDER BY DogID DESC LIMIT 1");
    youngest.Step();
    const auto dam = static_cast<qint32>(youngest.Integer(0));
    youngest.Reset();
    std::vector<SireCandidate> candidates = SireCandidates(*database, dam, false);
    if (candidates.size() > 1000) candidates.erase(candidates.begin(), candidates.end() - 1000);
    NoProgress quiet;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RankSires(table, dam, candidates, static_cast<int>(state.range(0)), quiet));
    }
    state.counters["sires"] = static_cast<double>(candidates.size());
    state.SetLabel("200k_rate0.3");
}

BENCHMARK(BM_ReadPedigree)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_AllDogs)
    ->Args({0, 10})
    ->Args({1, 10})
    ->Args({0, kAllKnownGenerations})
    ->Args({1, kAllKnownGenerations})
    ->Args({2, kAllKnownGenerations})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AllGenerationsStored)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(2)->ReportAggregatesOnly(true);
BENCHMARK(BM_RankSires)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
