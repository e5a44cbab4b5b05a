// The database commands of the File menu on generated kennels:
//   BM_AutomaticCleanUp/100000      clean-up, 5 % second entries                 under 5 s
//   BM_AutomaticCleanUp/1000000     the same on a million dogs                   under 60 s
//   BM_MergeHalfShared/100000       merging a file that shares half of its dogs,
//                                   clean-up included                            under 15 s
//   BM_InteractiveCleanUp/1000000   longest wait from one answer to the next
//                                   question (the max_gap_ms counter)            under 200 ms
//   BM_DatabaseInformation/1000000  the record count and the file's size         under 100 ms
//   BM_CreateNewDatabase            a new database with the placeholder dog      under 200 ms
// Each clean-up and merge works on a fresh copy of the cached database (copying is not timed).

#include "support/BenchDatabases.h"

#include "maintenance/DatabaseFiles.h"
#include "maintenance/DatabaseMerge.h"
#include "sample/PedigreeGenerator.h"
#include "store/DogDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace lineara::bench {
namespace {

constexpr double kDuplicateShare = 0.05;

qint32 Dogs(const benchmark::State& state) { return static_cast<qint32>(state.range(0)); }

// A copy of `source` to work on, in a folder that lives as long as the benchmark.
QString WorkingCopy(const QTemporaryDir& folder, const QString& source) {
    const QString copy = QDir(folder.path()).filePath(QStringLiteral("work.mdb"));
    QFile::remove(copy);
    if (!QFile::copy(source, copy)) {
        throw std::runtime_error("cannot copy the generated database");
    }
    return copy;
}

// A fresh copy of `source`, opened, for one round; the copying is not timed.
std::shared_ptr<DogDatabase> OpenFreshCopy(benchmark::State& state, const QTemporaryDir& folder,
                                           const QString& source) {
    state.PauseTiming();
    auto database = DogDatabase::Open(WorkingCopy(folder, source));
    state.ResumeTiming();
    return database;
}

void BM_AutomaticCleanUp(benchmark::State& state) {
    const QString source = GeneratedDatabase(Dogs(state), kDuplicateShare);
    QTemporaryDir folder;
    qint64 merged = 0;
    for (auto _ : state) {
        const auto database = OpenFreshCopy(state, folder, source);
        MaintenanceHooks hooks;
        merged = RunMergeDriver(*database, QString(), hooks).merged;
    }
    state.counters["merged"] = static_cast<double>(merged);
}
BENCHMARK(BM_AutomaticCleanUp)->Arg(100'000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_AutomaticCleanUp)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// A file of `dogs` dogs: the first half of the generated kennel's dogs as they are, then as
// many dogs of another kennel (seed 2, its kennel name before every dog's), whose parents are
// moved past the first half.
QString HalfSharedFile(const QTemporaryDir& folder, const QString& kennel, qint32 dogs) {
    const QString path = QDir(folder.path()).filePath(QStringLiteral("other.mdb"));
    DogDatabase::Create(path);
    const auto from = DogDatabase::Open(kennel);
    const auto to = DogDatabase::Open(path);
    const qint32 shared = dogs / 2;
    PedigreeOptions options = DatabaseOptions(dogs - shared);
    options.seed = 2;
    const Pedigree others = PedigreeGenerator::Generate(options);
    DogDatabase::Transaction transaction(*to);
    for (qint32 id = 1; id <= shared; ++id) {
        if (const auto row = from->ReadRow(id)) {
            to->InsertRow(*row);
        }
    }
    for (qint32 position = 1; position <= others.Size(); ++position) {
        DogRecord record = others.RecordOf(position);
        record.SetValue(Field::RegName, QStringLiteral("Farview ") + record.Value(Field::RegName).toString());
        for (const Field parent : {Field::SireID, Field::DamID}) {
            const qint32 id = record.Value(parent).toInt();
            record.SetValue(parent, id > 0 ? id + shared : 0);
        }
        to->InsertRow(record);
    }
    transaction.Commit();
    return path;
}

void BM_MergeHalfShared(benchmark::State& state) {
    const QString kennel = GeneratedDatabase(Dogs(state));
    QTemporaryDir folder;
    const QString other = HalfSharedFile(folder, kennel, Dogs(state));
    MaintenanceCounts counts;
    for (auto _ : state) {
        const auto database = OpenFreshCopy(state, folder, kennel);
        MaintenanceHooks hooks;
        counts = RunMergeDriver(*database, other, hooks);
    }
    state.counters["added"] = static_cast<double>(counts.added);
    state.counters["merged"] = static_cast<double>(counts.merged);
}
BENCHMARK(BM_MergeHalfShared)->Arg(100'000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// Answers Yes to every question, as fast as a machine can, and times how long the clean-up
// keeps the user waiting between an answer and the next question. It stops the run (rolled
// back) after `questions` questions.
class TimingPrompts : public Prompts {
public:
    explicit TimingPrompts(int questions) : left_(questions) {}
    struct Enough {};

    Answer Message(const QString&, const QString&, Buttons buttons, Icon) override {
        const auto now = Clock::now();
        if (answered_) {
            const double gap = std::chrono::duration<double, std::milli>(now - last_).count();
            max_gap_ms = std::max(max_gap_ms, gap);
        } else {
            first_ms = std::chrono::duration<double, std::milli>(now - start_).count();
        }
        if (left_-- == 0) {
            throw Enough{};
        }
        answered_ = true;
        last_ = Clock::now();
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> Input(const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFile(const FileRequest&) override { return {}; }
    QString SaveFile(const FileRequest&) override { return {}; }
    std::optional<QString> ChooseFontName(const QString&, const QStringList&) override { return {}; }
    std::optional<qint32> ChooseColour(qint32) override { return {}; }
    void Beep() override {}
    std::optional<PrintChoice> ChoosePrinter(QPrinter&, bool) override { return {}; }
    bool SetUpPage(QPrinter&) override { return false; }

    double max_gap_ms = 0;
    double first_ms = 0;  // from the start of the command to its first question

private:
    using Clock = std::chrono::steady_clock;
    int left_;
    bool answered_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_;
};

void BM_InteractiveCleanUp(benchmark::State& state) {
    const QString source = GeneratedDatabase(Dogs(state), kDuplicateShare);
    QTemporaryDir folder;
    double max_gap = 0, first = 0;
    for (auto _ : state) {
        const auto database = OpenFreshCopy(state, folder, source);
        TimingPrompts prompts(500);
        MaintenanceHooks hooks;
        hooks.prompts = &prompts;
        try {
            RunMergeDriver(*database, QString(), hooks);
        } catch (const TimingPrompts::Enough&) {
        }
        max_gap = std::max(max_gap, prompts.max_gap_ms);
        first = prompts.first_ms;
    }
    state.counters["max_gap_ms"] = max_gap;
    state.counters["first_question_ms"] = first;
}
BENCHMARK(BM_InteractiveCleanUp)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

void BM_DatabaseInformation(benchmark::State& state) {
    const QString source = GeneratedDatabase(Dogs(state));
    const auto database = DogDatabase::Open(source);
    for (auto _ : state) {
        database->ForgetStatistics();
        const qint64 records = database->CountRows();
        benchmark::DoNotOptimize(DatabaseInfoText(source, QFileInfo(source).size(), records));
    }
}
BENCHMARK(BM_DatabaseInformation)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_CreateNewDatabase(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Collies.mdb"));
    for (auto _ : state) {
        CreatePlaceholderDatabase(path, StagedDatabase::Replace::Never);
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateNewDatabase)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lineara::bench
