// Importing an old data file of the largest size its 16-bit count can name, progress included.

#include "maintenance/OldDataFile.h"
#include "maintenance/V3Import.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace lineara::bench {
namespace {

// Counts the progress calls the way a window would receive them.
class CountingProgress : public Progress {
public:
    void SetText(const QString&) override { ++calls; }
    void SetFraction(double) override { ++calls; }
    qint64 calls = 0;
};

QByteArray OldKennel(int count) {
    std::vector<olddata::OldRecord> records(count);
    for (int k = 0; k < count; ++k) {
        auto& record = records[k];
        record.SetText(olddata::kRegName, QStringLiteral("Ch. Montréal Dog %1").arg(k + 1));
        record.SetText(olddata::kCallName, QStringLiteral("Rex"));
        record.SetText(olddata::kComments, QStringLiteral("Bred by the kennel of the north"));
        record.SetInt(olddata::kSex, static_cast<qint16>(k % 2));
        record.SetInt(olddata::kSireRef, static_cast<qint16>(k >= 2 ? k - 1 : 0));
        record.SetInt(olddata::kDamRef, static_cast<qint16>(k >= 2 ? k : 0));
        record.SetInt(614, static_cast<qint16>(k % 3 == 0));
    }
    return olddata::OldDataFileBytes(records);
}

void BM_ImportV3(benchmark::State& state) {
    QTemporaryDir folder;
    const QString dat = QDir(folder.path()).filePath(QStringLiteral("LINEARA.DAT"));
    const QString target = QDir(folder.path()).filePath(QStringLiteral("Imported Data.mdb"));
    olddata::WriteOldDataFile(dat, OldKennel(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        CountingProgress progress;
        FailAfter never;
        benchmark::DoNotOptimize(
            ImportV3File(dat, target, StagedDatabase::Replace::Allowed, progress, never).imported);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportV3)->Arg(32'000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
