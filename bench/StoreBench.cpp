// The record store on generated pedigrees of ten thousand, a hundred thousand and a million
// dogs: the operations every window leans on.
//
// The first four are the speeds the store promises on a million dogs (run them with
// --benchmark_filter=/1000000 and quote the medians of the repetitions):
//   BM_OpenStore                  opening a store on the file                 under 50 ms
//   BM_FindFirstDogId             FindFirst "DogID=" on a random dog          under 20 us
//                                 (the median of single lookups is the median_us counter)
//   BM_WalkAllRows                MoveFirst ... MoveNext ... Eof, reading
//                                 RegName and SexMale of every row            under 1.5 s
//   BM_RecordCountAfterMoveLast   MoveLast, then RecordCount                  under 50 ms

#include "support/BenchDatabases.h"

#include "store/RecordStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace lineara::bench {
namespace {

constexpr std::size_t kSamples = 4096;
constexpr int kRepetitions = 5;

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
}

// The promised figures are medians over repetitions.
void Targets(benchmark::internal::Benchmark* b) {
    Sizes(b);
    b->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
}

qint32 Dogs(const benchmark::State& state) {
    return static_cast<qint32>(state.range(0));
}

// Registered names of sample dogs, written in capitals so that every search has to fold.
QStringList SampleNames(RecordStore& store, qint32 dogs, bool non_ascii) {
    QStringList names;
    for (qint32 id : RandomIds(dogs, kSamples * 8)) {
        store.FindFirst(Criterion::ById(id));
        const QString name = store.Text(Field::RegName);
        const bool is_ascii =
            std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (is_ascii != non_ascii) {
            names.append(name.toUpper());
        }
        if (names.size() == static_cast<qsizetype>(kSamples)) {
            break;
        }
    }
    return names;
}

// A store opened on the file each round, as the program does when it starts or switches
// databases. Nothing else in this program keeps the file open, so every round makes a new
// connection (the file itself stays in the system's cache). Closing is not timed.
void BM_OpenStore(benchmark::State& state) {
    const QString path = GeneratedDatabase(Dogs(state));
    std::optional<RecordStore> store;
    for (auto _ : state) {
        store.emplace(path);
        benchmark::DoNotOptimize(store->DogID());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenStore)->Apply(Targets);

// FindFirst with the criteria text the windows use, on a different existing dog each time
// from a spread of 65,536, then the registered name read: the store reads rows lazily, so
// without a read a find would not show the cost of reaching the row. Each lookup is timed
// on its own, so that the median of single lookups can be reported beside the mean.
void BM_FindFirstDogId(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    RecordStore store(GeneratedDatabase(Dogs(state)));
    std::vector<QString> criteria;
    for (qint32 id : RandomIds(Dogs(state), 1 << 16)) {
        criteria.push_back(QStringLiteral("DogID=") + QString::number(id));
    }
    std::vector<double> seconds;
    std::size_t i = 0;
    for (auto _ : state) {
        const QString& criterion = criteria[i++ % criteria.size()];
        const Clock::time_point start = Clock::now();
        store.FindFirst(criterion);
        benchmark::DoNotOptimize(store.Text(Field::RegName));
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds.push_back(elapsed);
        if (store.NoMatch()) {
            state.SkipWithError("an existing DogID was not found");
            break;
        }
    }
    if (!seconds.empty()) {
        const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
        std::nth_element(seconds.begin(), middle, seconds.end());
        state.counters["median_us"] = *middle * 1e6;
    }
}
BENCHMARK(BM_FindFirstDogId)->Apply(Targets)->UseManualTime();

// Every row from first to last, reading the registered name and the sex: what merge,
// clean-up and the analyses cost at the least.
void BM_WalkAllRows(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (store.MoveFirst(); !store.Eof(); store.MoveNext()) {
            benchmark::DoNotOptimize(store.Text(Field::RegName));
            benchmark::DoNotOptimize(store.Flag(Field::SexMale));
            ++rows;
        }
    }
    if (rows != Dogs(state)) {
        state.SkipWithError("the walk did not see every dog");
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_WalkAllRows)->Apply(Targets)->Unit(benchmark::kMillisecond);

// MoveLast and RecordCount, as every caller that needs the count does them. Each round
// works on a store just opened, so nothing remembered from an earlier count can help;
// opening and closing are not timed.
void BM_RecordCountAfterMoveLast(benchmark::State& state) {
    const QString path = GeneratedDatabase(Dogs(state));
    std::optional<RecordStore> store;
    qint64 count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store.emplace(path);
        state.ResumeTiming();
        store->MoveLast();
        count = store->RecordCount();
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    if (count != Dogs(state)) {
        state.SkipWithError("RecordCount is not the number of dogs");
    }
}
BENCHMARK(BM_RecordCountAfterMoveLast)->Apply(Targets);

void FindByName(benchmark::State& state, bool non_ascii) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    const QStringList names = SampleNames(store, Dogs(state), non_ascii);
    qsizetype i = 0;
    for (auto _ : state) {
        store.FindFirst(Criterion::ByRegName(names[i++ % names.size()]));
        if (store.NoMatch()) {
            state.SkipWithError("a name was not found");
            break;
        }
    }
}

void BM_FindByRegName(benchmark::State& state) {
    FindByName(state, false);
}
BENCHMARK(BM_FindByRegName)->Apply(Sizes);

void BM_FindByRegNameNonAscii(benchmark::State& state) {
    FindByName(state, true);
}
BENCHMARK(BM_FindByRegNameNonAscii)->Apply(Sizes);

void BM_FindByRegNameMissing(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    for (auto _ : state) {
        store.FindFirst(Criterion::ByRegName(QStringLiteral("No Such Dog Anywhere")));
        benchmark::DoNotOptimize(store.NoMatch());
    }
}
BENCHMARK(BM_FindByRegNameMissing)->Apply(Sizes);

// All offspring of a sire, the way the offspring list and delete walk them.
void BM_FindAllOffspring(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    std::vector<qint32> sires;
    for (qint32 id : RandomIds(Dogs(state), kSamples)) {
        store.FindFirst(Criterion::ById(id));
        if (store.Long(Field::SireID) != 0) {
            sires.push_back(store.Long(Field::SireID));
        }
    }
    std::size_t i = 0;
    qint64 found = 0;
    for (auto _ : state) {
        const Criterion children = Criterion::Equals(Field::SireID, sires[i++ % sires.size()]);
        for (store.FindFirst(children); !store.NoMatch(); store.FindNext(children)) {
            ++found;
        }
    }
    state.counters["offspring"] =
        benchmark::Counter(static_cast<double>(found), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FindAllOffspring)->Apply(Sizes);

// The reads a six-generation chart needs: every place from the root down, each found by
// DogID, with the registered name read.
void BM_SixGenerationAncestry(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    // Roots from the youngest tenth, which have the fullest pedigrees.
    std::vector<qint32> roots;
    for (qint32 id : RandomIds(Dogs(state) / 10, kSamples)) {
        roots.push_back(Dogs(state) - id + 1);
    }
    std::size_t r = 0;
    qint64 places = 0;
    for (auto _ : state) {
        qint32 ids[128] = {};
        ids[1] = roots[r++ % roots.size()];
        for (int p = 1; p < 128; ++p) {
            if (ids[p] == 0) {
                continue;
            }
            store.FindFirst(Criterion::ById(ids[p]));
            benchmark::DoNotOptimize(store.Text(Field::RegName));
            ++places;
            if (p < 64) {
                ids[2 * p] = store.Long(Field::SireID);
                ids[2 * p + 1] = store.Long(Field::DamID);
            }
        }
    }
    state.counters["places"] =
        benchmark::Counter(static_cast<double>(places), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SixGenerationAncestry)->Apply(Sizes);

// Adding a dog the way the Edit menu does: AddNew, a name, Update. Rolled back afterwards,
// so the cached database stays as it was.
void BM_AddDog(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    DogDatabase::Transaction transaction(store.Database());
    qint64 n = 0;
    for (auto _ : state) {
        store.AddNew();
        store.SetValue(Field::RegName, QStringLiteral("Benchmark Dog %1").arg(++n));
        store.SetValue(Field::SexMale, true);
        store.Update();
    }
}
BENCHMARK(BM_AddDog)->Apply(Sizes);

}  // namespace
}  // namespace lineara::bench
