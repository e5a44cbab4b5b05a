#pragma once

#include "app/Progress.h"
#include "inbreeding/Inbreeding.h"
#include "inbreeding/MeuwissenLuo.h"
#include "store/FailAfter.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lineara {

class DogDatabase;
namespace sqlite {
class Connection;
}

// Every dog's parents, held in memory for the computations over the whole database. Lookups
// only read, so several threads may share one table.
struct PedigreeTable {
    std::vector<qint32> ids;        // every DogID, ascending
    std::vector<Parents> parents;   // the stored SireID and DamID of ids[i]
    // DogID -> position in ids, -1 where no record; for DogIDs spread far wider than the
    // number of dogs (a damaged file), `sparse` instead.
    std::vector<int> index_of_id;
    std::unordered_map<qint32, int> sparse;

    int IndexOf(qint32 id) const {
        if (id <= 0) return -1;
        if (!sparse.empty()) {
            const auto found = sparse.find(id);
            return found == sparse.end() ? -1 : found->second;
        }
        return static_cast<std::size_t>(id) < index_of_id.size() ? index_of_id[static_cast<std::size_t>(id)] : -1;
    }
    std::optional<Parents> Find(qint32 id) const {
        const int at = IndexOf(id);
        if (at < 0) return std::nullopt;
        return parents[static_cast<std::size_t>(at)];
    }
    ParentLookup Lookup() const {
        return [this](qint32 id) { return Find(id); };
    }
    std::size_t Count() const { return ids.size(); }
};
PedigreeTable ReadPedigreeTable(DogDatabase& database);
// The same through a connection of its own, inside a read the caller holds open. Nothing when
// keep_going (asked every 65,536 dogs) says no.
std::optional<PedigreeTable> ReadPedigreeTable(sqlite::Connection& connection,
                                               const std::function<bool()>& keep_going = {});
PedigreeTable MakePedigreeTable(std::vector<std::pair<qint32, Parents>> dogs);

// Runs work(k) for every k below `count` on `threads` workers, while the calling thread
// reports progress, watches for a cancel and calls done(k) for each finished k, in order of k.
// work must be safe to run on several threads at once. False when cancelled (the workers stop
// after their current item); a failure in work is thrown again here once every worker ended.
bool ParallelForEach(std::size_t count, int threads, Progress& progress, const std::function<void(std::size_t)>& work,
                     const std::function<void(std::size_t)>& done = {});

// The coefficient over `generations` of every dog of the table, in the table's order, each
// the very double ComputeInbreeding gives that dog. Full siblings share one analysis, that of a
// planned puppy of their sire and dam, wherever none of them stands in that puppy's chart
// (where one does, the data makes it its own ancestor and it gets an analysis of its own).
// Oldest litters first; `threads` workers share the litters. Nothing when the user cancels.
std::optional<std::vector<double>> CoefficientsAtDepth(const PedigreeTable& table, int generations,
                                                       Progress& progress, int threads = 2);

// The textbook coefficient over every known ancestor of every dog of the table, in the table's
// order, by Meuwissen and Luo's method over the whole pedigree at once. A parent link that
// would make a dog its own ancestor is left out, as is a parent that names no record.
std::optional<std::vector<double>> CoefficientsOverAllGenerations(const PedigreeTable& table,
                                                                  Progress& progress);

// The whole pedigree with every dog's coefficient over all known generations worked out at
// once, so that the kinship of any two dogs is a single pass over their ancestors.
class AllGenerationsPedigree {
public:
    // Nothing when keep_going (asked every 1,024 dogs) says no, or when a parent link would
    // make a dog its own ancestor: which link is left out then depends on where the walk
    // starts, so such a pedigree is worked out pair by pair.
    static std::unique_ptr<AllGenerationsPedigree> Make(PedigreeTable table,
                                                        const std::function<bool()>& keep_going = {});
    // KinshipOverAllGenerations(x, y) on the same pedigree; one caller at a time.
    double Kinship(qint32 x, qint32 y);
    const PedigreeTable& Table() const { return table_; }

private:
    AllGenerationsPedigree(PedigreeTable table, MeuwissenLuo pass, std::vector<int> position);
    PedigreeTable table_;
    MeuwissenLuo pass_;
    std::vector<int> position_;  // table position -> place in the parents-first order
};

// The same figures by the tabular method (the whole relationship matrix, dogs taken parents
// first): quadratic in the number of dogs, kept as the yardstick for small pedigrees.
std::vector<double> CoefficientsByTabularMethod(const PedigreeTable& table);

// "all known generations" is 0 here.
inline constexpr int kAllKnownGenerations = 0;

// Every dog's coefficient stored in IC, in one transaction: a failure (the seam fails at the
// k-th record) or a cancel leaves every IC as it was. False when cancelled.
bool StoreAllCoefficients(DogDatabase& database, const PedigreeTable& table,
                          const std::vector<double>& coefficients, Progress& progress,
                          FailAfter fail_after = {});

// "DogID,RegName,IC", then one line per dog (RFC 4180 quoting, UTF-8, CR LF), IC as the
// stored fraction with every digit it needs.
QByteArray CoefficientsCsv(DogDatabase& database, const PedigreeTable& table,
                           const std::vector<double>& coefficients);

// Computes (and, with `store`, stores) every dog's coefficient over `generations`
// (kAllKnownGenerations for all). Nothing when cancelled; nothing stored then or on failure.
std::optional<std::vector<double>> RunAllCoefficients(DogDatabase& database, const PedigreeTable& table,
                                                      int generations, bool store, Progress& progress,
                                                      FailAfter fail_after = {});

}  // namespace lineara
