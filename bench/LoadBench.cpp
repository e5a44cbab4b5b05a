// Making databases: the generator, writing pedigrees, the kennel text loader and the real
// pedigree files.

#include "support/BenchDatabases.h"

#include "sample/KennelTextLoader.h"
#include "sample/PedigreeCsv.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace lineara::bench {
namespace {

void BM_GeneratePedigree(benchmark::State& state) {
    const PedigreeOptions options = DatabaseOptions(static_cast<qint32>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(PedigreeGenerator::Generate(options).Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GeneratePedigree)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Writes a pedigree into a new database file, one transaction for all of it; only the
// writing is timed, not making and removing the file.
void WriteIntoFreshDatabase(benchmark::State& state, const Pedigree& pedigree) {
    state.PauseTiming();
    const QString path = FreshDatabase();
    state.ResumeTiming();
    {
        const auto database = DogDatabase::Open(path);
        pedigree.WriteTo(*database);
    }
    state.PauseTiming();
    QFile::remove(path);
    state.ResumeTiming();
}

void WritePedigree(benchmark::State& state, const Pedigree& pedigree) {
    for (auto _ : state) {
        WriteIntoFreshDatabase(state, pedigree);
    }
    state.SetItemsProcessed(state.iterations() * pedigree.Size());
}

void BM_WritePedigree(benchmark::State& state) {
    WritePedigree(
        state, PedigreeGenerator::Generate(DatabaseOptions(static_cast<qint32>(state.range(0)))));
}
BENCHMARK(BM_WritePedigree)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ParseKennelText(benchmark::State& state) {
    const QString text =
        PedigreeGenerator::Generate(DatabaseOptions(static_cast<qint32>(state.range(0))))
            .ToKennelText();
    for (auto _ : state) {
        const KennelText kennel = KennelText::Parse(text);
        if (!kennel.Ok()) {
            state.SkipWithError("the generated kennel text does not read");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
BENCHMARK(BM_ParseKennelText)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// What the build does for the bundled sample kennel.
void BM_BuildSampleKennel(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = FreshDatabase();
        QFile::remove(path);
        state.ResumeTiming();
        BuildKennelDatabase(QStringLiteral(LINEARA_SAMPLE_KENNEL), path);
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildSampleKennel)->Unit(benchmark::kMillisecond);

// A real pedigree (6,547 dairy cows, ten generations deep) read and written.
void BM_LoadRealPedigree(benchmark::State& state) {
    const QString file = PedigreeDataFile(QStringLiteral("pedCows.csv"));
    if (file.isEmpty()) {
        state.SkipWithError("pedCows.csv is not on this machine");
        return;
    }
    qint32 size = 0;
    for (auto _ : state) {
        const Pedigree pedigree = PedigreeCsv::ReadFile(file, QStringLiteral("Cow "));
        size = pedigree.Size();
        WriteIntoFreshDatabase(state, pedigree);
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_LoadRealPedigree)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lineara::bench
