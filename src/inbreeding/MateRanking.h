#pragma once

#include "app/Progress.h"
#include "inbreeding/BulkInbreeding.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace lineara {

class DogDatabase;

// A male that could sire the dam's next litter.
struct SireCandidate {
    qint32 dog_id = 0;
    QString name;  // RegName, blanks trimmed
};

// The males of the database other than the dam, by DogID. Unless `all_males`, only those that
// have offspring or were born within twelve years before `today`.
std::vector<SireCandidate> SireCandidates(DogDatabase& database, qint32 dam, bool all_males,
                                          const QDate& today = QDate::currentDate());

// One sire's line of the ranking: the litter's coefficient over the chosen depth and the pair's
// relationship coefficient.
struct RankedSire {
    SireCandidate sire;
    double coefficient = 0;
    double relationship = 0;
};

// Lowest litter coefficient first; equal ones by lower relationship, then by name, then DogID.
bool RanksBefore(const RankedSire& a, const RankedSire& b);

// Each candidate's trial mating with the dam, through the exact engine, in the candidates'
// order, shared out among `threads` workers; `found` hears of each as it is computed, in the
// candidates' order and on the calling thread (the dialog fills its list from it). Nothing when
// the user cancels. The result is ranked.
std::optional<std::vector<RankedSire>> RankSires(const PedigreeTable& table, qint32 dam,
                                                 const std::vector<SireCandidate>& candidates, int generations,
                                                 Progress& progress,
                                                 const std::function<void(const RankedSire&)>& found = {},
                                                 int threads = 2);

}  // namespace lineara
