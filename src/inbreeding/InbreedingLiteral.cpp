// The inbreeding walk exactly as first designed. Nothing here is tuned: it is the yardstick
// the fast engine in Inbreeding.cpp is tested against.

#include "inbreeding/Inbreeding.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

namespace lineara {

namespace {

struct AnalysisSlot {
    qint32 dog_id = 0;
    qint32 sire_id = 0;
    qint32 dam_id = 0;
};

struct WalkEntry {
    AncestorEntry entry;
    std::vector<qint64> positions;
    std::vector<qint64> sire_side;
    std::vector<qint64> dam_side;
};

int GenerationOf(qint64 position) {
    int g = -1;
    while (position != 0) {
        position >>= 1;
        ++g;
    }
    return g;
}

class LiteralWalk {
public:
    LiteralWalk(int generations, const ParentLookup& parents)
        : n_(generations), parents_(parents), chart_(std::size_t{1} << (generations + 1)) {}

    InbreedingAnalysis Run(qint32 dog, const SubAnalysis& sub) {
        InbreedingAnalysis result;
        result.entries_filled = 1;
        result.deepest_generation = 0;
        result.complete_generations = n_;
        const std::optional<Parents> record = parents_(dog);
        chart_[1] = {dog, record ? record->sire : 0, record ? record->dam : 0};
        Visit(2, result);
        Visit(3, result);

        double f = 0;
        for (WalkEntry& walk : list_) {
            SplitAppearances(walk);
            double contribution = 0;
            if (!walk.sire_side.empty() && !walk.dam_side.empty()) {
                contribution = SumPathCoefficients(walk.sire_side, walk.dam_side);
            }
            if (contribution != 0) {
                const int remaining = n_ - GenerationOf(walk.entry.earliest_position);
                const double f_a = sub(walk.entry.dog_id, remaining);
                contribution = contribution * (1 + f_a);
            }
            walk.entry.contribution = contribution;
            f += contribution;
        }
        result.coefficient = f;
        result.ancestors.reserve(list_.size());
        for (const WalkEntry& walk : list_) {
            result.ancestors.push_back(walk.entry);
        }
        return result;
    }

private:
    void Visit(qint64 p, InbreedingAnalysis& result) {
        const int g = GenerationOf(p);
        if (g > n_) {
            return;
        }
        const AnalysisSlot& child = chart_[static_cast<std::size_t>(p / 2)];
        const qint32 dog = (p % 2 == 0) ? child.sire_id : child.dam_id;
        // A parent that names no record counts as unknown.
        const std::optional<Parents> record = dog == 0 ? std::nullopt : parents_(dog);
        if (!record) {
            result.complete_generations = std::min(result.complete_generations, g - 1);
            return;
        }
        result.deepest_generation = std::max(result.deepest_generation, g);
        chart_[static_cast<std::size_t>(p)] = {dog, record->sire, record->dam};
        result.entries_filled += 1;
        // The list is searched from its start; the index finds the same entry.
        const auto found = index_.find(dog);
        if (found != index_.end()) {
            list_[found->second].positions.push_back(p);
        } else {
            index_.emplace(dog, list_.size());
            WalkEntry walk;
            walk.entry.dog_id = dog;
            walk.positions.push_back(p);
            list_.push_back(std::move(walk));
        }
        Visit(2 * p, result);
        Visit(2 * p + 1, result);
    }

    void SplitAppearances(WalkEntry& walk) const {
        AncestorEntry& e = walk.entry;
        e.percent_of_blood = 0;
        e.sire_side_count = e.dam_side_count = 0;
        e.sire_side_earliest = e.dam_side_earliest = n_;
        e.earliest_position = (qint64{1} << (n_ + 1)) - 1;
        for (const qint64 p : walk.positions) {
            const int g = GenerationOf(p);
            e.percent_of_blood += 1 / std::pow(2.0, g);
            e.earliest_position = std::min(e.earliest_position, p);
            const double l = std::log2(static_cast<double>(p));
            if (l - std::floor(l) < 0.58496249) {
                e.sire_side_earliest = std::min(e.sire_side_earliest, g);
                e.sire_side_count += 1;
                walk.sire_side.push_back(p);
            } else {
                e.dam_side_earliest = std::min(e.dam_side_earliest, g);
                e.dam_side_count += 1;
                walk.dam_side.push_back(p);
            }
        }
    }

    double SumPathCoefficients(const std::vector<qint64>& sire_side, const std::vector<qint64>& dam_side) const {
        double sum = 0;
        std::vector<qint32> sire_group;
        std::vector<qint32> dam_group;
        for (const qint64 ps : sire_side) {
            sire_group.clear();
            qint64 q = ps / 2;
            do {
                sire_group.push_back(chart_[static_cast<std::size_t>(q)].dog_id);
                q /= 2;
            } while (q >= 2);
            for (const qint64 pd : dam_side) {
                dam_group.clear();
                q = pd / 2;
                do {
                    dam_group.push_back(chart_[static_cast<std::size_t>(q)].dog_id);
                    q /= 2;
                } while (q >= 3);
                bool shared = false;
                for (const qint32 a : sire_group) {
                    for (const qint32 b : dam_group) {
                        shared = shared || a == b;
                    }
                }
                if (!shared) {
                    sum += std::pow(0.5, GenerationOf(ps) + GenerationOf(pd) - 1);
                }
            }
        }
        return sum;
    }

    int n_;
    const ParentLookup& parents_;
    std::vector<AnalysisSlot> chart_;
    std::vector<WalkEntry> list_;
    std::unordered_map<qint32, std::size_t> index_;
};

}  // namespace

InbreedingAnalysis ComputeInbreedingLiterally(qint32 dog, int generations, const ParentLookup& parents,
                                              const SubAnalysis& sub) {
    const SubAnalysis recurse = sub ? sub : SubAnalysis([&parents](qint32 ancestor, int depth) {
        return ComputeInbreedingLiterally(ancestor, depth, parents).coefficient;
    });
    return LiteralWalk(generations, parents).Run(dog, recurse);
}

std::vector<AncestorEntry> OrderForReport(std::vector<AncestorEntry> entries, std::size_t limit) {
    const std::size_t count = entries.size();
    const std::size_t passes = std::min(limit, count == 0 ? 0 : count - 1);
    for (std::size_t i = 0; i < passes; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            const AncestorEntry& a = entries[i];
            const AncestorEntry& b = entries[j];
            if (b.percent_of_blood > a.percent_of_blood ||
                (b.percent_of_blood == a.percent_of_blood && b.contribution > a.contribution)) {
                std::swap(entries[i], entries[j]);
            }
        }
    }
    entries.resize(std::min(limit, count));
    return entries;
}

}  // namespace lineara
