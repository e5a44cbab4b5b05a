// The coefficient of inbreeding and its report, as Analysis > Inbreeding and Relationship
// Report computes them (reading the ancestry from the store included), on generated
// populations and the real dairy-cow pedigree, against the designed walk at 20 generations.

#include "inbreeding/InbreedingReport.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"
#include "support/BenchDatabases.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <unordered_map>

namespace lineara::bench {
namespace {

enum Population { kRate01, kRate03, kRate06, kLarge03, kClosed, kCows, kPopulationCount };

const char* const kPopulationNames[] = {"50k_rate0.1", "50k_rate0.3", "50k_rate0.6",
                                        "200k_rate0.3", "closed_100x30", "real_cows"};

QString PopulationDatabase(Population population) {
    PedigreeOptions o;
    o.seed = 1;
    o.generations = 40;
    switch (population) {
        case kRate01: o.dogs = 50000; o.inbreeding = 0.1; break;
        case kRate03: o.dogs = 50000; o.inbreeding = 0.3; break;
        case kRate06: o.dogs = 50000; o.inbreeding = 0.6; break;
        case kLarge03: o.dogs = 200000; o.inbreeding = 0.3; break;
        case kClosed:
            // A closed population of 100 dogs a generation, most litters by a few popular sires.
            o.dogs = 3000;
            o.generations = 30;
            o.inbreeding = 0.1;
            o.stud_share = 0.1;
            o.parent_generations = 2;
            break;
        case kCows:
            return RealPedigreeDatabase(QStringLiteral("pedCows.csv"), QStringLiteral("Cow "));
        default: break;
    }
    return CachedDatabase(o, QString::fromLatin1(kPopulationNames[population]));
}

// The youngest few dogs (highest DogIDs) that have both parents.
std::vector<qint32> YoungestDogs(DogDatabase& database, int count) {
    sqlite::Statement statement(database.Connection(),
                                "SELECT DogID FROM DogInfo WHERE SireID > 0 AND DamID > 0 ORDER BY DogID DESC LIMIT ?1");
    statement.BindInteger(1, count);
    std::vector<qint32> dogs;
    while (statement.Step()) {
        dogs.push_back(static_cast<qint32>(statement.Integer(0)));
    }
    return dogs;
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

std::shared_ptr<DogDatabase> OpenPopulation(benchmark::State& state, Population population) {
    const QString path = PopulationDatabase(population);
    if (path.isEmpty()) {
        state.SkipWithError("the real pedigree is not on this machine");
        return nullptr;
    }
    return DogDatabase::Open(path);
}

void BM_Coefficient(benchmark::State& state) {
    const auto population = static_cast<Population>(state.range(0));
    const int generations = static_cast<int>(state.range(1));
    const std::shared_ptr<DogDatabase> database = OpenPopulation(state, population);
    if (!database) {
        return;
    }
    const std::vector<qint32> dogs = YoungestDogs(*database, 3);
    std::size_t next = 0;
    double sum = 0;
    for (auto _ : state) {
        const InbreedingRun run = RunInbreedingAnalysis(*database, dogs[next++ % dogs.size()], generations);
        sum += run.analysis.coefficient;
        benchmark::DoNotOptimize(run.report.data());
    }
    state.SetLabel(kPopulationNames[population]);
    state.counters["mean_F"] = sum / static_cast<double>(state.iterations());
    state.counters["peak_MB"] = static_cast<double>(PeakMegabytes());
}

void CoefficientArguments(benchmark::internal::Benchmark* b) {
    for (int population = 0; population < kPopulationCount; ++population) {
        for (const int generations : {10, 15, 20}) {
            b->Args({population, generations});
        }
    }
}
BENCHMARK(BM_Coefficient)->Apply(CoefficientArguments)->Unit(benchmark::kMillisecond)->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The designed walk (its sub-analyses remembered, as the design allows) on the same dogs: the
// yardstick the engine must beat five times over at 20 generations and never fall far behind
// at lower depths.
void BM_LiteralWalk(benchmark::State& state) {
    const auto population = static_cast<Population>(state.range(0));
    const int generations = static_cast<int>(state.range(1));
    const std::shared_ptr<DogDatabase> database = OpenPopulation(state, population);
    if (!database) {
        return;
    }
    const std::vector<qint32> dogs = YoungestDogs(*database, 3);
    const ParentLookup parents = DatabaseParents(*database);
    std::size_t next = 0;
    for (auto _ : state) {
        std::unordered_map<qint64, double> memo;
        SubAnalysis sub;
        sub = [&](qint32 dog, int depth) {
            const qint64 key = (qint64{dog} << 8) | depth;
            const auto found = memo.find(key);
            if (found != memo.end()) {
                return found->second;
            }
            const double f = ComputeInbreedingLiterally(dog, depth, parents, sub).coefficient;
            memo.emplace(key, f);
            return f;
        };
        const InbreedingAnalysis a = ComputeInbreedingLiterally(dogs[next++ % dogs.size()], generations, parents, sub);
        benchmark::DoNotOptimize(a.coefficient);
    }
    state.SetLabel(kPopulationNames[population]);
}
BENCHMARK(BM_LiteralWalk)
    ->Apply(CoefficientArguments)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace lineara::bench
