// A trial mating as Analysis > Trial Mating… computes it (the planned puppy's coefficient and
// report, the pair's relationship and the all-generations figure, reading the ancestry from
// the store), next to the single-dog report of one of the pair's offspring, on the 200,000-dog
// population and the real dairy-cow pedigree.

#include "inbreeding/InbreedingReport.h"
#include "inbreeding/TrialMating.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"
#include "support/BenchDatabases.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace lineara::bench {
namespace {

QString Population(int which) {
    if (which == 1) {
        return RealPedigreeDatabase(QStringLiteral("pedCows.csv"), QStringLiteral("Cow "));
    }
    PedigreeOptions o;
    o.seed = 1;
    o.generations = 40;
    o.dogs = 200000;
    o.inbreeding = 0.3;
    return CachedDatabase(o, QStringLiteral("200k_rate0.3"));
}

// The youngest dogs with both parents, with their sires and dams: real matings whose
// trial-mating figures equal the offspring's own.
struct Mating {
    qint32 offspring, sire, dam;
};
std::vector<Mating> YoungestMatings(DogDatabase& database, int count) {
    sqlite::Statement statement(
        database.Connection(),
        "SELECT DogID, SireID, DamID FROM DogInfo WHERE SireID > 0 AND DamID > 0 "
        "ORDER BY DogID DESC LIMIT ?1");
    statement.BindInteger(1, count);
    std::vector<Mating> matings;
    while (statement.Step()) {
        matings.push_back({static_cast<qint32>(statement.Integer(0)),
                           static_cast<qint32>(statement.Integer(1)),
                           static_cast<qint32>(statement.Integer(2))});
    }
    return matings;
}

enum class Before { kNothing, kAnother, kPreparation };

void Run(benchmark::State& state, bool trial, Before before = Before::kNothing) {
    const QString path = Population(static_cast<int>(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError("the real pedigree is not on this machine");
        return;
    }
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    const int generations = static_cast<int>(state.range(1));
    std::vector<Mating> matings = YoungestMatings(*database, 4);
    if (before == Before::kAnother) {
        // A breeder tries one pairing after another: the first of the session has worked
        // out the ancestors' coefficients over all generations, which the later ones reuse.
        RunTrialMating(*database, matings.back().sire, matings.back().dam, generations);
    }
    std::optional<TrialMatingPreparation> preparation;
    if (before == Before::kPreparation) {
        // The dialog has been open while the user chose the pair.
        preparation.emplace(*database);
        preparation->Wait();
    }
    matings.pop_back();
    std::size_t next = 0;
    for (auto _ : state) {
        const Mating& m = matings[next++ % matings.size()];
        if (trial) {
            const TrialMatingRun run = RunTrialMating(*database, m.sire, m.dam, generations);
            benchmark::DoNotOptimize(run.report.data());
        } else {
            const InbreedingRun run = RunInbreedingAnalysis(*database, m.offspring, generations);
            benchmark::DoNotOptimize(run.report.data());
        }
    }
    state.SetLabel(state.range(0) == 1 ? "real_cows" : "200k_rate0.3");
}

void BM_TrialMating(benchmark::State& state) {
    Run(state, true);
}
void BM_TrialMatingAfterAnother(benchmark::State& state) {
    Run(state, true, Before::kAnother);
}
void BM_TrialMatingPrepared(benchmark::State& state) {
    Run(state, true, Before::kPreparation);
}

// What the Trial Mating dialog works out in the background as it opens.
void BM_PrepareTrialMatings(benchmark::State& state) {
    const QString path = Population(static_cast<int>(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError("the real pedigree is not on this machine");
        return;
    }
    // Opened afresh for each run (Iterations(1)), so that nothing is kept from the last.
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    for (auto _ : state) {
        TrialMatingPreparation preparation(*database);
        preparation.Wait();
    }
    state.SetLabel(state.range(0) == 1 ? "real_cows" : "200k_rate0.3");
}
void BM_OffspringReport(benchmark::State& state) {
    Run(state, false);
}

void Arguments(benchmark::internal::Benchmark* b) {
    for (const int population : {0, 1}) {
        for (const int generations : {10, 15, 20}) {
            b->Args({population, generations});
        }
    }
}
// One trial mating per run of the database opened afresh: the first of a session, the one
// after it, and the first once the dialog's preparation is done.
BENCHMARK(BM_TrialMating)
    ->Apply(Arguments)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TrialMatingAfterAnother)
    ->Apply(Arguments)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TrialMatingPrepared)
    ->Apply(Arguments)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrepareTrialMatings)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OffspringReport)
    ->Apply(Arguments)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
