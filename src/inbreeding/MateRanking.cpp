#include "inbreeding/MateRanking.h"

#include "app/TrimBlanks.h"
#include "inbreeding/TrialMating.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"

#include <algorithm>
#include <tuple>

namespace lineara {

std::vector<SireCandidate> SireCandidates(DogDatabase& database, qint32 dam, bool all_males, const QDate& today) {
    // DOB is stored as an ISO date text; a text compare against the cut-off date is a date compare.
    const QString cutoff = today.addYears(-12).toString(Qt::ISODate);
    DogDatabase::ReadTransaction read(database);
    sqlite::Statement query(database.Connection(),
                            all_males ? "SELECT DogID, RegName FROM DogInfo WHERE SexMale <> 0 AND DogID <> ?1 "
                                        "ORDER BY DogID"
                                      : "SELECT DogID, RegName FROM DogInfo AS d WHERE SexMale <> 0 AND DogID <> ?1 "
                                        "AND (substr(DOB, 1, 10) >= ?2 OR EXISTS "
                                        "(SELECT 1 FROM DogInfo AS o WHERE o.SireID = d.DogID)) ORDER BY DogID");
    query.BindInteger(1, dam);
    if (!all_males) query.BindText(2, cutoff);
    std::vector<SireCandidate> candidates;
    while (query.Step()) {
        candidates.push_back({static_cast<qint32>(query.Integer(0)), query.IsNull(1) ? QString() : TrimBlanks(query.Text(1))});
    }
    query.Reset();
    return candidates;
}

bool RanksBefore(const RankedSire& a, const RankedSire& b) {
    return std::tie(a.coefficient, a.relationship, a.sire.name, a.sire.dog_id) <
           std::tie(b.coefficient, b.relationship, b.sire.name, b.sire.dog_id);
}

std::optional<std::vector<RankedSire>> RankSires(const PedigreeTable& table, qint32 dam,
                                                 const std::vector<SireCandidate>& candidates, int generations,
                                                 Progress& progress,
                                                 const std::function<void(const RankedSire&)>& found, int threads) {
    const ParentLookup lookup = table.Lookup();
    // Ancestors shared by many of the analyses have their coefficients worked out once.
    CoefficientCache cache;
    // The dam's own coefficient over one generation less is the same for every pair.
    const double dam_coefficient = ComputeInbreeding(dam, generations - 1, lookup, &cache).coefficient;
    std::vector<RankedSire> ranked(candidates.size());
    const auto work = [&](std::size_t i) {
        const SireCandidate& sire = candidates[i];
        RankedSire& line = ranked[i];
        line.sire = sire;
        line.coefficient =
            ComputeInbreeding(kTrialPuppy, generations, WithTrialPuppy(lookup, sire.dog_id, dam), &cache).coefficient;
        line.relationship = sire.dog_id == dam
                                ? 1.0
                                : RelationshipCoefficient(line.coefficient,
                                                          ComputeInbreeding(sire.dog_id, generations - 1, lookup, &cache).coefficient,
                                                          dam_coefficient);
    };
    if (!ParallelForEach(candidates.size(), threads, progress, work,
                         [&](std::size_t i) { if (found) found(ranked[i]); })) {
        return std::nullopt;
    }
    std::sort(ranked.begin(), ranked.end(), RanksBefore);
    return ranked;
}

}  // namespace lineara
