// The find-dog search and placing a dog from the chart, on a generated pedigree of a million
// dogs. The search runs from the Find button to the sorted list with its count text; placing
// runs from the dog chosen in the find dialog to the chart filled and arranged again.
// Report the median of the repetitions.

#include "support/BenchDatabases.h"

#include "app/SettingsFile.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/FontTextMeasurer.h"
#include "records/ChartActions.h"
#include "records/FindDogSearch.h"
#include "store/LayoutUpgrade.h"
#include "store/RecordStore.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace lineara::bench {
namespace {

constexpr qint32 kDogs = 1'000'000;
constexpr int kRepetitions = 5;

void Settings(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
}

RecordStore& SharedStore() {
    static RecordStore store(GeneratedDatabase(kDogs));
    return store;
}

void BM_FindDogs(benchmark::State& state, const char* text, qint16 sex_hint) {
    RecordStore& store = SharedStore();
    const QString search = QString::fromUtf8(text);
    std::size_t listed = 0;
    for (auto _ : state) {
        const FindDogResult result = FindDogs(store, search, sex_hint);
        listed = result.dogs.size();
        benchmark::DoNotOptimize(result.count_text.size());
    }
    state.counters["listed"] = static_cast<double>(listed);
}
// The same search as the find dialog runs it while the user types, on its own connection.
void BM_TypedSearch(benchmark::State& state, const char* text) {
    sqlite::Connection connection = OpenSearchConnection(GeneratedDatabase(kDogs));
    const QString search = QString::fromUtf8(text);
    // The first search on a new connection maps the file's pages into memory (some 120 ms for
    // this one); the dialog keeps its connection, so every search after that is what counts.
    FindDogs(connection, search, -1);
    std::size_t listed = 0;
    for (auto _ : state) {
        const FindDogResult result = FindDogs(connection, search, -1);
        listed = result.dogs.size();
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK_CAPTURE(BM_TypedSearch, common_word, "misty")->Apply(Settings);
BENCHMARK_CAPTURE(BM_TypedSearch, rare_piece, "brook sil")->Apply(Settings);

// The same once the dialog has read its catalog of names (a second or two after it opens on
// a million dogs): each candidate's name is taken from memory rather than from the table.
void BM_TypedSearchThroughCatalog(benchmark::State& state, const char* text) {
    std::unique_ptr<NameCatalog> catalog = NameCatalog::Build(GeneratedDatabase(kDogs));
    if (!catalog) {
        state.SkipWithError("no catalog");
        return;
    }
    const QString search = QString::fromUtf8(text);
    catalog->Find(search, -1);
    std::size_t listed = 0;
    for (auto _ : state) {
        const FindDogResult result = catalog->Find(search, -1);
        listed = result.dogs.size();
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK_CAPTURE(BM_TypedSearchThroughCatalog, common_word, "misty")->Apply(Settings);
BENCHMARK_CAPTURE(BM_TypedSearchThroughCatalog, rare_piece, "brook sil")->Apply(Settings);

// Reading the catalog, on the dialog's second thread.
void BM_ReadNameCatalog(benchmark::State& state) {
    const QString path = GeneratedDatabase(kDogs);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NameCatalog::Build(path));
    }
}
BENCHMARK(BM_ReadNameCatalog)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// The first search of a find dialog just opened, as the user starts typing some 400 ms after
// the dialog appears: the dialog's own search thread has used the time to map the file.
void BM_FirstSearchOfADialog(benchmark::State& state) {
    const QString path = GeneratedDatabase(kDogs);
    QObject context;
    for (auto _ : state) {
        state.PauseTiming();
        auto search = std::make_unique<BackgroundDogSearch>(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        state.ResumeTiming();
        // Done when the finished list is handed to the window's thread.
        search->Start(&context, QStringLiteral("misty"), -1, [](FindDogResult) {});
        search->Wait();
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSearchOfADialog)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The first search of a find dialog opened after another one on the same file had read its
// catalog of names: the new dialog takes that catalog over.
void BM_FirstSearchOfALaterDialog(benchmark::State& state) {
    const QString path = GeneratedDatabase(kDogs);
    QObject context;
    {
        BackgroundDogSearch first(path);
        first.WaitForCatalog();
    }
    for (auto _ : state) {
        auto search = std::make_unique<BackgroundDogSearch>(path);
        search->Start(&context, QStringLiteral("misty"), -1, [](FindDogResult) {});
        search->Wait();
        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSearchOfALaterDialog)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The same in a real locale, where the list is put in order through the locale's collation
// keys (the program started under LANG=C sorts without them).
void InLocale(QLocale::Language language, QLocale::Country country, const std::function<void()>& run) {
    const QLocale before;
    QLocale::setDefault(QLocale(language, country));
    run();
    QLocale::setDefault(before);
}
void BM_TypedSearchInLocale(benchmark::State& state, const char* text, QLocale::Language language,
                            QLocale::Country country) {
    InLocale(language, country, [&] { BM_TypedSearch(state, text); });
}
BENCHMARK_CAPTURE(BM_TypedSearchInLocale, common_word_en_US, "misty", QLocale::English,
                  QLocale::UnitedStates)
    ->Apply(Settings);
BENCHMARK_CAPTURE(BM_TypedSearchInLocale, common_word_de_DE, "misty", QLocale::German,
                  QLocale::Germany)
    ->Apply(Settings);

void BM_TypedSearchThroughCatalogInLocale(benchmark::State& state, const char* text, QLocale::Language language,
                                          QLocale::Country country) {
    InLocale(language, country, [&] { BM_TypedSearchThroughCatalog(state, text); });
}
BENCHMARK_CAPTURE(BM_TypedSearchThroughCatalogInLocale, common_word_en_US, "misty", QLocale::English,
                  QLocale::UnitedStates)
    ->Apply(Settings);
BENCHMARK_CAPTURE(BM_TypedSearchThroughCatalogInLocale, common_word_de_DE, "misty", QLocale::German,
                  QLocale::Germany)
    ->Apply(Settings);

void BM_ReadNameCatalogInLocale(benchmark::State& state) {
    InLocale(QLocale::English, QLocale::UnitedStates, [&] { BM_ReadNameCatalog(state); });
}
BENCHMARK(BM_ReadNameCatalogInLocale)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// One dog's full name, as a breeder looks up a dog they know.
BENCHMARK_CAPTURE(BM_FindDogs, full_name, "stonebrook misty moon", -1)->Apply(Settings);
// Part of a name, for a sire place: a few hundred males.
BENCHMARK_CAPTURE(BM_FindDogs, two_words_males, "Misty Moon", 1)->Apply(Settings);
// A single common word: some twenty thousand dogs to list and sort.
BENCHMARK_CAPTURE(BM_FindDogs, common_word, "misty", -1)->Apply(Settings);
// A kennel name outside ASCII, matched after full Unicode upper-casing.
BENCHMARK_CAPTURE(BM_FindDogs, non_ascii_kennel_females, "MÜLLERHOF", 0)->Apply(Settings);
BENCHMARK_CAPTURE(BM_FindDogs, no_match, "Zebra", -1)->Apply(Settings);
// Two letters: too short for the name index, every name is looked at.
BENCHMARK_CAPTURE(BM_FindDogs, two_letters, "mi", -1)->Apply(Settings);
// Three letters found in some thirty thousand names, and a piece of a rare name.
BENCHMARK_CAPTURE(BM_FindDogs, three_letters_common, "ist", -1)->Apply(Settings);
BENCHMARK_CAPTURE(BM_FindDogs, rare_piece, "brook sil", -1)->Apply(Settings);

// Upgrading a file of the first layout (no name index) of a million dogs: the index built in
// one transaction. Each round works on a fresh copy with the index taken out again.
void BM_UpgradeFromLayout1(benchmark::State& state) {
    static QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("upgrade.mdb"));
    double index_bytes = 0;
    double name_bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(copy);
        if (!QFile::copy(GeneratedDatabase(kDogs), copy)) {
            state.SkipWithError("cannot copy the generated database");
            return;
        }
        sqlite::Connection connection(copy, SQLITE_OPEN_READWRITE);
        connection.Execute(
            "DROP TRIGGER DogInfo_NameAdded; DROP TRIGGER DogInfo_NameRemoved; DROP TRIGGER DogInfo_NameChanged;"
            "DROP INDEX DogInfo_UnfoldableRegName; DROP TABLE DogNameIndex; PRAGMA user_version = 1; VACUUM;");
        const double before = static_cast<double>(QFileInfo(copy).size());
        name_bytes = static_cast<double>(connection.QueryInteger("SELECT sum(length(CAST(RegName AS BLOB))) FROM DogInfo"));
        NoProgress progress;
        state.ResumeTiming();
        UpgradeLayout(connection, 1, progress);
        state.PauseTiming();
        connection.Close();
        index_bytes = static_cast<double>(QFileInfo(copy).size()) - before;
        state.ResumeTiming();
    }
    state.counters["index_MB"] = index_bytes / 1e6;
    state.counters["names_MB"] = name_bytes / 1e6;
}
BENCHMARK(BM_UpgradeFromLayout1)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(2);

// Placing runs ArrangeChart, whose fonts need a GUI application; nothing is shown.
void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "bench_finddog";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QGuiApplication app(argc, argv);
    }
}

class SilentPrompts : public Prompts {
public:
    Answer Message(const QString&, const QString&, Buttons, Icon) override { return Answer::Ok; }
    std::optional<QString> Input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString OpenFile(const FileRequest&) override { return {}; }
    QString SaveFile(const FileRequest&) override { return {}; }
    std::optional<QString> ChooseFontName(const QString&, const QStringList&) override {
        return std::nullopt;
    }
    std::optional<qint32> ChooseColour(qint32) override { return std::nullopt; }
    void Beep() override {}
    std::optional<PrintChoice> ChoosePrinter(QPrinter&, bool) override { return std::nullopt; }
    bool SetUpPage(QPrinter&) override { return false; }
};

// A find dialog whose user picks the given dogs in turn.
class PickingDialogs : public DogDialogs {
public:
    PickingDialogs(AppState& state, std::vector<qint32> picks)
        : state_(state), picks_(std::move(picks)) {}
    void FindDog(const FindDogRequest&) override {
        state_.SelectedDogID = picks_[next_++ % picks_.size()];
    }
    void EditDog(bool) override {}

private:
    AppState& state_;
    std::vector<qint32> picks_;
    std::size_t next_ = 0;
};

// Young males (the newest dogs, with the deepest ancestries, so the own-ancestor check walks
// the most records) to place as the root's sire.
std::vector<qint32> YoungMales(RecordStore& store, qint32 root, std::size_t count) {
    std::vector<qint32> males;
    for (qint32 id = root - 1; id > 0 && males.size() < count; --id) {
        store.FindFirst(Criterion::ById(id));
        if (!store.NoMatch() && store.Flag(Field::SexMale)) {
            males.push_back(id);
        }
    }
    return males;
}

void BM_PlaceDogAndRedraw(benchmark::State& state) {
    EnsureGuiApplication();
    // Placing writes to the database: work on a copy, so the shared generated database stays
    // as every other benchmark expects it.
    static QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("place.mdb"));
    if (!QFileInfo::exists(copy) && !QFile::copy(GeneratedDatabase(kDogs), copy)) {
        state.SkipWithError("cannot copy the generated database");
        return;
    }
    RecordStore store(copy);
    store.MoveLast();
    AppState app;
    app.settings = RestoreDefaultSettings();
    app.settings.RootDogID = store.DogID();
    ViewState view = ViewStateFromSettings(app.settings);
    view.num_gens = 6;
    view.additional_info = kAddlIC;
    ChartModel model;
    FontTextMeasurer measurer(96);
    const auto refill = [&] {
        model.FillChart(store, app.settings.RootDogID, view);
        const ChartGeometry geometry =
            ArrangeChart(model, view, app.settings, QSizeF(1280, 800), measurer, QSizeF(32, 20));
        benchmark::DoNotOptimize(geometry.font_size);
    };
    refill();

    SilentPrompts prompts;
    PickingDialogs dialogs(app, YoungMales(store, app.settings.RootDogID, 8));
    ChartActions actions(store, app, prompts, dialogs, model, refill);
    for (auto _ : state) {
        actions.PlaceDog(2);
    }
    state.counters["sire"] = model.DogAt(2);
}
BENCHMARK(BM_PlaceDogAndRedraw)->Apply(Settings);

}  // namespace
}  // namespace lineara::bench
