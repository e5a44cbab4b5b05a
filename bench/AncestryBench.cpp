// Analysis > Lineara Information and the Siblings and Offspring lists, as the menu commands
// run them (parents and names read from the store included): the youngest dog of the
// million-dog database, the youngest of a 40-generation population, a dog whose ancestry
// loops back on itself near the root, and the children of the most popular sire.

#include "analysis/Ancestry.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"
#include "support/BenchDatabases.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace lineara::bench {
namespace {

constexpr qint32 kDogs = 1'000'000;

qint64 SingleInteger(DogDatabase& database, const char* sql) {
    sqlite::Statement statement(database.Connection(), sql);
    if (!statement.Step()) {
        return 0;
    }
    return statement.Integer(0);
}

DogDatabase& MillionDogs() {
    static const std::shared_ptr<DogDatabase> database = DogDatabase::Open(GeneratedDatabase(kDogs));
    return *database;
}

// The population of the inbreeding benchmarks with the most generations: 50,000 dogs in 40.
QString FortyGenerations() {
    PedigreeOptions o;
    o.seed = 1;
    o.dogs = 50000;
    o.generations = 40;
    o.inbreeding = 0.3;
    return CachedDatabase(o, QStringLiteral("50k_rate0.3"));
}

qint32 YoungestDog(DogDatabase& database) {
    return static_cast<qint32>(
        SingleInteger(database, "SELECT DogID FROM DogInfo WHERE SireID > 0 AND DamID > 0 ORDER BY DogID DESC LIMIT 1"));
}

// What the menu command computes before it shows anything: the count and, when a line
// reaches the limit, the repeat and the text of the "Recursive Line" question.
void RunInformation(benchmark::State& state, DogDatabase& database, qint32 root) {
    AncestryFigures figures;
    for (auto _ : state) {
        figures = CountAncestry(database, root);
        if (figures.limit_reached) {
            if (const auto repeat = FindRepeat(figures.line)) {
                const QString text = RecursiveLineText(figures.line, *repeat,
                                                       [&](qint32 id) { return RegNameOf(database, id); });
                benchmark::DoNotOptimize(text.constData());
            }
        }
        benchmark::DoNotOptimize(figures.entries);
    }
    state.counters["entries"] = static_cast<double>(figures.entries);
    state.counters["unique"] = static_cast<double>(figures.unique);
    state.counters["depth"] = figures.deepest_generation;
    state.counters["loop"] = figures.limit_reached ? 1 : 0;
}

void BM_InformationMillion(benchmark::State& state) {
    DogDatabase& database = MillionDogs();
    RunInformation(state, database, YoungestDog(database));
}
BENCHMARK(BM_InformationMillion)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_InformationFortyGenerations(benchmark::State& state) {
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(FortyGenerations());
    RunInformation(state, *database, YoungestDog(*database));
}
BENCHMARK(BM_InformationFortyGenerations)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A copy of the 40-generation population in which the youngest dog's sire is entered as
// sired by the youngest dog itself: the loop sits at the root, and every line through it
// runs to the limit.
void BM_InformationLoop(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("loop.mdb"));
    if (!QFile::exists(path) && !QFile::copy(FortyGenerations(), path)) {
        state.SkipWithError("could not copy the population");
        return;
    }
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    const qint32 root = YoungestDog(*database);
    {
        sqlite::Statement update(database->Connection(),
                                 "UPDATE DogInfo SET SireID = ?1 WHERE DogID = (SELECT SireID FROM DogInfo WHERE DogID = ?1)");
        update.BindInteger(1, root);
        update.Step();
    }
    RunInformation(state, *database, root);
}
BENCHMARK(BM_InformationLoop)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The sire with the most offspring in the million-dog database.
qint32 PopularSire(DogDatabase& database) {
    return static_cast<qint32>(SingleInteger(
        database,
        "SELECT SireID FROM DogInfo WHERE SireID > 0 GROUP BY SireID ORDER BY COUNT(*) DESC, SireID LIMIT 1"));
}

void BM_OffspringPopularSire(benchmark::State& state) {
    DogDatabase& database = MillionDogs();
    const qint32 sire = PopularSire(database);
    std::size_t listed = 0;
    for (auto _ : state) {
        const std::vector<ListedDog> offspring = FindOffspring(database, sire);
        listed = offspring.size();
        benchmark::DoNotOptimize(offspring.data());
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_OffspringPopularSire)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Siblings of the popular sire's youngest child with both parents known: every other child
// of the sire is a full or a half sibling.
void BM_SiblingsPopularSire(benchmark::State& state) {
    DogDatabase& database = MillionDogs();
    const qint32 sire = PopularSire(database);
    sqlite::Statement child(database.Connection(),
                            "SELECT DogID, DamID FROM DogInfo WHERE SireID = ?1 AND DamID > 0 ORDER BY DogID DESC LIMIT 1");
    child.BindInteger(1, sire);
    if (!child.Step()) {
        state.SkipWithError("the popular sire has no child with a known dam");
        return;
    }
    const auto root = static_cast<qint32>(child.Integer(0));
    const auto dam = static_cast<qint32>(child.Integer(1));
    std::size_t listed = 0;
    for (auto _ : state) {
        const SiblingLists lists = FindSiblings(database, root, sire, dam);
        listed = lists.full.size() + lists.half.size();
        benchmark::DoNotOptimize(lists.full.data());
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_SiblingsPopularSire)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
