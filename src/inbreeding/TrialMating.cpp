#include "inbreeding/TrialMating.h"

#include "app/TrimBlanks.h"
#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/InbreedingReport.h"
#include "inbreeding/MeuwissenLuo.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lineara {

ParentLookup WithTrialPuppy(ParentLookup parents, qint32 sire, qint32 dam) {
    return [parents = std::move(parents), sire, dam](qint32 id) -> std::optional<Parents> {
        if (id == kTrialPuppy) {
            return Parents{sire, dam};
        }
        return parents(id);
    };
}

namespace {

constexpr int kUnknown = -1;

// The ancestors of the two dogs (themselves included), each after its parents.
struct Closure {
    std::vector<int> sire;  // local indices, kUnknown for none
    std::vector<int> dam;
    std::unordered_map<qint32, int> local;
};

Closure AncestorsInOrder(std::initializer_list<qint32> roots, const ParentLookup& parents) {
    Closure c;
    struct Pending {
        qint32 id;
        Parents record;
        int stage;  // 0: sire next, 1: dam next, 2: done
    };
    // What is known of each dog met: its local index once finished, or that it is being
    // walked (on the stack: a parent found so closes a loop), or that it has no record.
    constexpr int kWalking = -2;
    constexpr int kMissing = -3;
    std::unordered_map<qint32, int>& state = c.local;
    for (const qint32 root : roots) {
        if (root == 0 || state.count(root)) {
            continue;
        }
        const std::optional<Parents> first = parents(root);
        if (!first) {
            continue;
        }
        std::vector<Pending> stack{{root, *first, 0}};
        std::vector<std::pair<int, int>> found{{kUnknown, kUnknown}};
        state[root] = kWalking;
        while (!stack.empty()) {
            Pending& top = stack.back();
            if (top.stage == 2) {
                const int index = static_cast<int>(c.sire.size());
                c.sire.push_back(found.back().first);
                c.dam.push_back(found.back().second);
                state[top.id] = index;
                stack.pop_back();
                found.pop_back();
                if (!found.empty()) {
                    (stack.back().stage == 1 ? found.back().first : found.back().second) = index;
                }
                continue;
            }
            const qint32 parent = top.stage == 0 ? top.record.sire : top.record.dam;
            int& slot = top.stage == 0 ? found.back().first : found.back().second;
            ++top.stage;
            if (parent == 0) {
                continue;
            }
            const auto [known, added] = state.try_emplace(parent, kWalking);
            if (!added) {
                if (known->second >= 0) {
                    slot = known->second;
                }
                continue;  // finished, missing, or closing a loop
            }
            const std::optional<Parents> record = parents(parent);
            if (!record) {
                known->second = kMissing;
                continue;
            }
            // The slot is filled in when the parent is finished.
            stack.push_back({parent, *record, 0});
            found.push_back({kUnknown, kUnknown});
        }
    }
    // Only the finished dogs stay.
    std::erase_if(state, [](const auto& entry) { return entry.second < 0; });
    return c;
}

}  // namespace

double KinshipOverAllGenerations(qint32 x, qint32 y, const ParentLookup& parents, KnownAncestries* known) {
    std::unordered_map<qint32, Parents> read;  // what this call asks of the pedigree
    const ParentLookup lookup = !known ? parents : ParentLookup([&](qint32 id) -> std::optional<Parents> {
        if (const auto found = known->find(id); found != known->end()) {
            return found->second.parents;
        }
        const std::optional<Parents> record = parents(id);
        if (record) {
            read.emplace(id, *record);
        }
        return record;
    });
    Closure with_puppy = AncestorsInOrder({x, y}, lookup);
    const auto ix = with_puppy.local.find(x);
    const auto iy = with_puppy.local.find(y);
    if (ix == with_puppy.local.end() || iy == with_puppy.local.end()) {
        return 0;
    }
    // The kinship of the pair is the coefficient of a puppy of theirs, placed last.
    with_puppy.sire.push_back(ix->second);
    with_puppy.dam.push_back(iy->second);
    if (!known) {
        return MeuwissenLuoCoefficients(with_puppy.sire, with_puppy.dam).back();
    }
    std::vector<qint32> id_of(with_puppy.sire.size(), 0);
    for (const auto& [id, index] : with_puppy.local) {
        id_of[static_cast<std::size_t>(index)] = id;
    }
    std::vector<double> before(with_puppy.sire.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i + 1 < id_of.size(); ++i) {
        if (const auto found = known->find(id_of[i]); found != known->end()) {
            before[i] = found->second.coefficient;
        }
    }
    const std::vector<double> f = MeuwissenLuoCoefficients(with_puppy.sire, with_puppy.dam, {}, &before);
    for (std::size_t i = 0; i + 1 < id_of.size(); ++i) {
        if (std::isnan(before[i])) {
            known->emplace(id_of[i], KnownAncestry{read.at(id_of[i]), f[i]});
        }
    }
    return f.back();
}

double RelationshipCoefficient(double puppy, double x, double y) {
    return 2 * puppy / std::sqrt((1 + x) * (1 + y));
}

TrialMating ComputeTrialMating(qint32 sire, qint32 dam, int generations,
                               const ParentLookup& parents, KnownAncestries* known,
                               CoefficientCache* cache, AllGenerationsPedigree* whole) {
    TrialMating mating;
    // The three analyses share most sub-analyses (the parents' own ancestors).
    CoefficientCache shared;
    CoefficientCache* coefficients = cache ? cache : &shared;
    constexpr SecondThread kShared = SecondThread::kForLargeAncestries;
    mating.analysis =
        ComputeInbreeding(kTrialPuppy, generations, WithTrialPuppy(parents, sire, dam), coefficients, kShared);
    const double f_sire =
        parents(sire) ? ComputeInbreeding(sire, generations - 1, parents, coefficients, kShared).coefficient : 0;
    const double f_dam =
        parents(dam) ? ComputeInbreeding(dam, generations - 1, parents, coefficients, kShared).coefficient : 0;
    // A dog is wholly related to itself. The walk cannot say so: both of the puppy's lines
    // to any ancestor start at the same dog, so it finds no independent pair of lines at all.
    mating.relationship =
        sire == dam ? 1.0 : RelationshipCoefficient(mating.analysis.coefficient, f_sire, f_dam);
    mating.all_generations = whole ? whole->Kinship(sire, dam) : KinshipOverAllGenerations(sire, dam, parents, known);
    return mating;
}

QByteArray TrialMatingReportText(const TrialMating& mating, const std::optional<QString>& sire_name,
                                 const std::optional<QString>& dam_name, int generations,
                                 const std::function<QString(qint32)>& name_of) {
    const QByteArray report =
        InbreedingReportText({QStringLiteral("Trial mating"), sire_name, dam_name}, mating.analysis,
                             generations, name_of);
    // The two figures go right after the table's rows, before the blank line and the legend.
    const QByteArray legend = "\r\n\\fs16\\par\r\n\\b\\fs16Percent of Blood: ";
    const qsizetype at = report.lastIndexOf(legend);
    const QByteArray extra =
        "\r\n\\fs16\\par\r\n\\b\\fs20Relationship Coefficient = " +
        PercentText(mating.relationship).toLatin1() +
        "\\par\\b0\r\n\\b\\fs20Inbreeding Coefficient over all known generations = " +
        PercentText(mating.all_generations).toLatin1() + "\\par\\b0";
    QByteArray out = report;
    out.insert(at, extra);
    return out;
}

namespace {

// What tells whether an open database is still as it was: changes through this connection
// move its count of changes and the database's Generation, changes by any other program the
// data version, and opening the file again gives a new serial.
struct FileState {
    quint64 serial = 0;
    quint64 generation = 0;
    qint64 changes = -1;
    qint64 data_version = -1;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(DogDatabase& database) {
    return {database.OpenSerial(), database.Generation(), sqlite3_total_changes64(database.Connection().Handle()),
            database.Connection().QueryInteger("PRAGMA data_version")};
}

// Kept from one trial mating to the next while the same open database stays unchanged.
struct Kept {
    FileState state;
    KnownAncestries ancestries;
    std::unique_ptr<CoefficientCache> coefficients = std::make_unique<CoefficientCache>();
    // From a TrialMatingPreparation, for the state it was started in.
    FileState prepared_for;
    std::unique_ptr<AllGenerationsPedigree> prepared;
};
std::mutex kept_mutex;
Kept kept;

}  // namespace

TrialMatingRun RunTrialMating(DogDatabase& database, qint32 sire, qint32 dam, int generations) {
    DogDatabase::ReadTransaction read(database);
    const ParentLookup parents = DatabaseParents(database);
    for (const qint32 parent : {sire, dam}) {
        if (parent <= 0 || !parents(parent)) {
            database.Fail(QStringLiteral("There is no dog with DogID %1.").arg(parent));
        }
    }
    const std::lock_guard<std::mutex> lock(kept_mutex);
    const FileState now = StateOf(database);
    if (kept.state != now) {
        kept.state = now;
        kept.ancestries = {};
        kept.coefficients = std::make_unique<CoefficientCache>();
    }
    if (kept.prepared && kept.prepared_for != now) {
        kept.prepared.reset();
    }
    TrialMatingRun run;
    run.prepared = kept.prepared != nullptr;
    // The pedigree worked out beforehand is the file as it is now, held in memory.
    run.mating = ComputeTrialMating(sire, dam, generations, kept.prepared ? kept.prepared->Table().Lookup() : parents,
                                    &kept.ancestries, kept.coefficients.get(), kept.prepared.get());
    auto name_of = [&database](qint32 id) { return TrimBlanks(RegNameOf(database, id)); };
    run.report =
        TrialMatingReportText(run.mating, name_of(sire), name_of(dam), generations, name_of);
    return run;
}

TrialMatingPreparation::TrialMatingPreparation(DogDatabase& database) {
    if (sqlite3_txn_state(database.Connection().Handle(), "main") == SQLITE_TXN_WRITE) {
        return;
    }
    FileState state;
    try {
        state = StateOf(database);
    } catch (const sqlite::Error&) {
        return;  // the trial mating itself will say what is wrong with the file
    }
    {
        const std::lock_guard<std::mutex> lock(kept_mutex);
        if (kept.prepared && kept.prepared_for == state) {
            return;
        }
        kept.prepared.reset();
    }
    thread_ = std::thread([this, path = database.Path(), state] {
        const auto keep_going = [this] { return !stop_.load(std::memory_order_relaxed); };
        try {
            sqlite::Connection reader(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
            sqlite3_busy_timeout(reader.Handle(), 2000);
            reader.Execute("PRAGMA mmap_size = 1073741824");
            reader.Execute("BEGIN");
            std::optional<PedigreeTable> table = ReadPedigreeTable(reader, keep_going);
            reader.Close();
            if (!table) {
                return;
            }
            std::unique_ptr<AllGenerationsPedigree> whole = AllGenerationsPedigree::Make(std::move(*table), keep_going);
            if (!whole) {
                return;
            }
            const std::lock_guard<std::mutex> lock(kept_mutex);
            kept.prepared_for = state;
            kept.prepared = std::move(whole);
        } catch (const std::exception&) {
            // Without it the trial matings still work, the longer way.
        }
    });
}

TrialMatingPreparation::~TrialMatingPreparation() {
    stop_ = true;
    Wait();
}

void TrialMatingPreparation::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace lineara
