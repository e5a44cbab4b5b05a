#include "inbreeding/BulkInbreeding.h"

#include "app/TrimBlanks.h"
#include "exchange/CsvText.h"
#include "inbreeding/MeuwissenLuo.h"
#include "inbreeding/TrialMating.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"

#include <QHash>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace lineara {

PedigreeTable MakePedigreeTable(std::vector<std::pair<qint32, Parents>> dogs) {
    std::sort(dogs.begin(), dogs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    PedigreeTable table;
    qint32 largest = 0;
    for (const auto& [id, parents] : dogs) {
        if (id <= 0 || (!table.ids.empty() && table.ids.back() == id)) continue;
        table.ids.push_back(id);
        table.parents.push_back(parents);
        largest = std::max(largest, id);
    }
    if (static_cast<std::size_t>(largest) > 4 * table.ids.size() + 4096) {
        for (std::size_t i = 0; i < table.ids.size(); ++i) table.sparse.emplace(table.ids[i], static_cast<int>(i));
        return table;
    }
    table.index_of_id.assign(static_cast<std::size_t>(largest) + 1, -1);
    for (std::size_t i = 0; i < table.ids.size(); ++i) {
        table.index_of_id[static_cast<std::size_t>(table.ids[i])] = static_cast<int>(i);
    }
    return table;
}

PedigreeTable ReadPedigreeTable(DogDatabase& database) {
    DogDatabase::ReadTransaction read(database);
    return *ReadPedigreeTable(database.Connection());
}

std::optional<PedigreeTable> ReadPedigreeTable(sqlite::Connection& connection, const std::function<bool()>& keep_going) {
    std::vector<std::pair<qint32, Parents>> dogs;
    sqlite::Statement all(connection, "SELECT DogID, SireID, DamID FROM DogInfo ORDER BY DogID");
    while (all.Step()) {
        if ((dogs.size() & 0xFFFF) == 0 && keep_going && !keep_going()) return std::nullopt;
        const auto parent = [&all](int column) -> qint32 {
            if (all.IsNull(column)) return 0;
            const qint64 value = all.Integer(column);
            return value > 0 && value <= std::numeric_limits<qint32>::max() ? static_cast<qint32>(value) : 0;
        };
        dogs.push_back({static_cast<qint32>(all.Integer(0)), Parents{parent(1), parent(2)}});
    }
    all.Reset();
    return MakePedigreeTable(std::move(dogs));
}

namespace {

constexpr int kUnknown = -1;

// The dogs of the table parents first, each parent link as a position in that order; a link
// that would close a loop, or that names no record, is unknown.
struct Ordered {
    std::vector<int> table_index;  // order position -> table position
    std::vector<int> sire, dam;    // order positions
    bool loop = false;             // a link was left out because it closed a loop
};

Ordered ParentsFirst(const PedigreeTable& table) {
    const std::size_t n = table.Count();
    Ordered o;
    std::vector<int> position(n, kUnknown);
    std::vector<char> open(n, 0);
    std::vector<int> sire_link(n, kUnknown), dam_link(n, kUnknown);
    auto index_of = [&table](qint32 id) { return table.IndexOf(id); };
    std::vector<std::pair<int, int>> stack;
    for (std::size_t start = 0; start < n; ++start) {
        if (position[start] != kUnknown) continue;
        stack.push_back({static_cast<int>(start), 0});
        open[start] = 1;
        while (!stack.empty()) {
            auto& [z, step] = stack.back();
            const auto zz = static_cast<std::size_t>(z);
            if (step < 2) {
                const Parents& p = table.parents[zz];
                const int parent = index_of(step == 0 ? p.sire : p.dam);
                int& link = step == 0 ? sire_link[zz] : dam_link[zz];
                ++step;
                if (parent == kUnknown) continue;
                if (open[static_cast<std::size_t>(parent)]) {
                    o.loop = true;
                    continue;
                }
                link = parent;
                if (position[static_cast<std::size_t>(parent)] == kUnknown) {
                    open[static_cast<std::size_t>(parent)] = 1;
                    stack.push_back({parent, 0});
                }
                continue;
            }
            open[zz] = 0;
            position[zz] = static_cast<int>(o.table_index.size());
            o.table_index.push_back(z);
            stack.pop_back();
        }
    }
    o.sire.resize(n);
    o.dam.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const auto t = static_cast<std::size_t>(o.table_index[k]);
        o.sire[k] = sire_link[t] == kUnknown ? kUnknown : position[static_cast<std::size_t>(sire_link[t])];
        o.dam[k] = dam_link[t] == kUnknown ? kUnknown : position[static_cast<std::size_t>(dam_link[t])];
    }
    return o;
}

}  // namespace

std::optional<std::vector<double>> CoefficientsOverAllGenerations(const PedigreeTable& table, Progress& progress) {
    Ordered o = ParentsFirst(table);
    const std::size_t n = o.table_index.size();
    bool cancelled = false;
    MeuwissenLuo pass(std::move(o.sire), std::move(o.dam));
    pass.Run([&](std::size_t i) {
        cancelled = progress.CancelRequested();
        progress.SetFraction(static_cast<double>(i) / static_cast<double>(n));
        return !cancelled;
    });
    if (cancelled) return std::nullopt;
    const std::vector<double>& f = pass.Coefficients();
    std::vector<double> result(n, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        result[static_cast<std::size_t>(o.table_index[k])] = f[k];
    }
    progress.SetFraction(1.0);
    return result;
}

std::unique_ptr<AllGenerationsPedigree> AllGenerationsPedigree::Make(PedigreeTable table,
                                                                     const std::function<bool()>& keep_going) {
    Ordered o = ParentsFirst(table);
    if (o.loop) return nullptr;
    std::vector<int> position(o.table_index.size());
    for (std::size_t k = 0; k < o.table_index.size(); ++k) {
        position[static_cast<std::size_t>(o.table_index[k])] = static_cast<int>(k);
    }
    MeuwissenLuo pass(std::move(o.sire), std::move(o.dam));
    if (!pass.Run([&](std::size_t) { return !keep_going || keep_going(); })) return nullptr;
    return std::unique_ptr<AllGenerationsPedigree>(
        new AllGenerationsPedigree(std::move(table), std::move(pass), std::move(position)));
}

AllGenerationsPedigree::AllGenerationsPedigree(PedigreeTable table, MeuwissenLuo pass, std::vector<int> position)
    : table_(std::move(table)), pass_(std::move(pass)), position_(std::move(position)) {}

double AllGenerationsPedigree::Kinship(qint32 x, qint32 y) {
    const int tx = table_.IndexOf(x);
    const int ty = table_.IndexOf(y);
    if (tx < 0 || ty < 0) return 0;
    return pass_.Kinship(position_[static_cast<std::size_t>(tx)], position_[static_cast<std::size_t>(ty)]);
}

std::vector<double> CoefficientsByTabularMethod(const PedigreeTable& table) {
    const Ordered o = ParentsFirst(table);
    const std::size_t n = o.table_index.size();
    std::vector<double> a(n * n, 0.0);
    auto at = [&a, n](std::size_t i, std::size_t j) -> double& { return a[i * n + j]; };
    for (std::size_t i = 0; i < n; ++i) {
        const int s = o.sire[i];
        const int m = o.dam[i];
        for (std::size_t j = 0; j < i; ++j) {
            double v = 0;
            if (s != kUnknown) v += 0.5 * at(j, static_cast<std::size_t>(s));
            if (m != kUnknown) v += 0.5 * at(j, static_cast<std::size_t>(m));
            at(i, j) = v;
            at(j, i) = v;
        }
        at(i, i) = 1 + (s != kUnknown && m != kUnknown
                            ? 0.5 * at(static_cast<std::size_t>(s), static_cast<std::size_t>(m))
                            : 0.0);
    }
    std::vector<double> result(n, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        result[static_cast<std::size_t>(o.table_index[k])] = at(k, k) - 1;
    }
    return result;
}

bool ParallelForEach(std::size_t count, int threads, Progress& progress, const std::function<void(std::size_t)>& work,
                     const std::function<void(std::size_t)>& done) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    std::atomic<bool> stop{false};
    const std::unique_ptr<std::atomic<bool>[]> ready(new std::atomic<bool>[count]);
    for (std::size_t k = 0; k < count; ++k) ready[k] = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::exception_ptr failure;
    const int workers_wanted = std::max(1, threads);
    int running = workers_wanted;
    auto worker = [&] {
        try {
            for (;;) {
                const std::size_t k = next.fetch_add(1);
                if (k >= count || stop.load()) break;
                work(k);
                ready[k] = true;
                finished.fetch_add(1);
                changed.notify_all();
            }
        } catch (...) {
            const std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
        const std::lock_guard lock(mutex);
        --running;
        changed.notify_all();
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < workers_wanted; ++w) pool.emplace_back(worker);
    bool cancelled = false;
    std::size_t reported = 0;
    auto report = [&] {
        while (reported < count && ready[reported]) {
            if (done && !stop.load()) done(reported);
            ++reported;
        }
        if (!cancelled && progress.CancelRequested()) {
            cancelled = true;
            stop = true;
        }
        if (count > 0) progress.SetFraction(static_cast<double>(finished.load()) / static_cast<double>(count));
    };
    {
        std::unique_lock lock(mutex);
        while (running > 0) {
            changed.wait_for(lock, std::chrono::milliseconds(50));
            lock.unlock();
            report();
            lock.lock();
        }
    }
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
    report();
    return !cancelled && !progress.CancelRequested();
}

std::optional<std::vector<double>> CoefficientsAtDepth(const PedigreeTable& table, int generations,
                                                       Progress& progress, int threads) {
    // The litters (dogs of one sire and dam), the oldest first.
    const Ordered o = ParentsFirst(table);
    std::vector<std::vector<int>> litters;
    {
        std::map<std::pair<qint32, qint32>, std::size_t> litter_of;
        for (const int t : o.table_index) {
            const Parents& p = table.parents[static_cast<std::size_t>(t)];
            const auto [found, fresh] = litter_of.emplace(std::pair{p.sire, p.dam}, litters.size());
            if (fresh) litters.emplace_back();
            litters[found->second].push_back(t);
        }
    }
    std::vector<double> result(table.Count(), 0.0);
    const ParentLookup lookup = table.Lookup();
    // Ancestors shared by many of the analyses have their coefficients worked out once.
    CoefficientCache cache;
    auto analyse_litter = [&](const std::vector<int>& litter) {
        const auto first = static_cast<std::size_t>(litter.front());
        if (litter.size() == 1) {
            result[first] = ComputeInbreeding(table.ids[first], generations, lookup, &cache).coefficient;
            return;
        }
        const Parents& p = table.parents[first];
        const InbreedingAnalysis puppy =
            ComputeInbreeding(kTrialPuppy, generations, WithTrialPuppy(lookup, p.sire, p.dam), &cache);
        std::unordered_set<qint32> in_chart;
        for (const AncestorEntry& entry : puppy.ancestors) in_chart.insert(entry.dog_id);
        for (const int t : litter) {
            const auto tt = static_cast<std::size_t>(t);
            result[tt] = in_chart.count(table.ids[tt]) != 0
                             ? ComputeInbreeding(table.ids[tt], generations, lookup, &cache).coefficient
                             : puppy.coefficient;
        }
    };

    if (!ParallelForEach(litters.size(), threads, progress, [&](std::size_t k) { analyse_litter(litters[k]); })) {
        return std::nullopt;
    }
    progress.SetFraction(1.0);
    return result;
}

bool StoreAllCoefficients(DogDatabase& database, const PedigreeTable& table, const std::vector<double>& coefficients,
                          Progress& progress, FailAfter fail_after) {
    DogDatabase::Transaction transaction(database);
    sqlite::Statement update(database.Connection(), "UPDATE DogInfo SET IC = ?1 WHERE DogID = ?2");
    const std::size_t n = std::min(table.Count(), coefficients.size());
    for (std::size_t i = 0; i < n; ++i) {
        if ((i & 1023) == 0) {
            if (progress.CancelRequested()) return false;  // the transaction rolls back
            progress.SetFraction(static_cast<double>(i) / static_cast<double>(n));
        }
        update.BindDouble(1, coefficients[i]);
        update.BindInteger(2, table.ids[i]);
        update.Step();
        update.Reset();
        fail_after.Step();
    }
    if (progress.CancelRequested()) return false;
    transaction.Commit();
    progress.SetFraction(1.0);
    return true;
}

QByteArray CoefficientsCsv(DogDatabase& database, const PedigreeTable& table, const std::vector<double>& coefficients) {
    QHash<qint32, QString> names;
    {
        DogDatabase::ReadTransaction read(database);
        sqlite::Statement all(database.Connection(), "SELECT DogID, RegName FROM DogInfo");
        while (all.Step()) {
            names.insert(static_cast<qint32>(all.Integer(0)), all.IsNull(1) ? QString() : all.Text(1));
        }
        all.Reset();
    }
    QByteArray out("DogID,RegName,IC\r\n");
    const std::size_t n = std::min(table.Count(), coefficients.size());
    for (std::size_t i = 0; i < n; ++i) {
        char figure[40];
        out += QByteArray::number(table.ids[i]);
        out += ',';
        AppendCsvField(out, TrimBlanks(names.value(table.ids[i])), true);
        std::snprintf(figure, sizeof figure, ",%.17g\r\n", coefficients[i]);
        out += figure;
    }
    return out;
}

std::optional<std::vector<double>> RunAllCoefficients(DogDatabase& database, const PedigreeTable& table,
                                                      int generations, bool store, Progress& progress,
                                                      FailAfter fail_after) {
    progress.SetText(QStringLiteral("Computing the inbreeding coefficients…"));
    std::optional<std::vector<double>> coefficients =
        generations == kAllKnownGenerations ? CoefficientsOverAllGenerations(table, progress)
                                            : CoefficientsAtDepth(table, generations, progress);
    if (!coefficients || !store) return coefficients;
    progress.SetText(QStringLiteral("Storing the inbreeding coefficients…"));
    if (!StoreAllCoefficients(database, table, *coefficients, progress, fail_after)) return std::nullopt;
    return coefficients;
}

}  // namespace lineara
