// The record store on generated pedigrees of ten thousand, a hundred thousand and a million
// dogs: the operations every window leans on.

#include "support/BenchDatabases.h"

#include "store/RecordStore.h"

#include <benchmark/benchmark.h>

namespace lineara::bench {
namespace {

constexpr std::size_t kSamples = 4096;

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
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

void BM_OpenDatabase(benchmark::State& state) {
    const QString path = GeneratedDatabase(Dogs(state));
    for (auto _ : state) {
        RecordStore store(path);
        benchmark::DoNotOptimize(store.DogID());
    }
}
BENCHMARK(BM_OpenDatabase)->Apply(Sizes);

void BM_FindById(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    const std::vector<qint32> ids = RandomIds(Dogs(state), kSamples);
    std::size_t i = 0;
    for (auto _ : state) {
        store.FindFirst(QStringLiteral("DogID=") + QString::number(ids[i++ % kSamples]));
        benchmark::DoNotOptimize(store.Long(Field::SireID));
    }
}
BENCHMARK(BM_FindById)->Apply(Sizes);

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

// Every row from first to last, reading a name and the parents: what merge, clean-up and
// the "Clear All" pass cost at the least.
void BM_WalkAllRows(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    for (auto _ : state) {
        qint64 rows = 0;
        for (store.MoveFirst(); !store.Eof(); store.MoveNext()) {
            benchmark::DoNotOptimize(store.Text(Field::RegName));
            benchmark::DoNotOptimize(store.Long(Field::SireID) + store.Long(Field::DamID));
            ++rows;
        }
        state.SetItemsProcessed(state.items_processed() + rows);
    }
    state.SetLabel("items = rows");
}
BENCHMARK(BM_WalkAllRows)->Apply(Sizes)->Unit(benchmark::kMillisecond);

void BM_MoveLastRecordCount(benchmark::State& state) {
    RecordStore store(GeneratedDatabase(Dogs(state)));
    // A write between rounds throws away the store's cached count, as real use does.
    for (auto _ : state) {
        store.Database().BeforeWrite();
        store.MoveLast();
        benchmark::DoNotOptimize(store.RecordCount());
    }
}
BENCHMARK(BM_MoveLastRecordCount)->Apply(Sizes);

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
