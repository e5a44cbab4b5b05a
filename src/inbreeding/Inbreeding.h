#pragma once

#include "analysis/Ancestry.h"

#include <QtGlobal>

#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lineara {

inline constexpr int kMinAnalysisGenerations = 5;
inline constexpr int kMaxAnalysisGenerations = 20;
inline constexpr int kDefaultAnalysisGenerations = 10;

// One distinct ancestor of an analysed dog.
struct AncestorEntry {
    qint32 dog_id = 0;
    double percent_of_blood = 0;  // sum of 1/2^g over its places (1.0 is 100 %)
    double contribution = 0;      // its share of the coefficient
    qint32 sire_side_count = 0;
    qint32 dam_side_count = 0;
    int sire_side_earliest = 0;  // the analysis depth when the count is 0
    int dam_side_earliest = 0;
    qint64 earliest_position = 0;  // lowest chart place (sire of place p is 2p, dam 2p + 1)

    friend bool operator==(const AncestorEntry&, const AncestorEntry&) = default;
};

// The coefficient of inbreeding of one dog over a number of generations, with what the
// report shows about its ancestry.
struct InbreedingAnalysis {
    double coefficient = 0;  // a fraction: 0.25 for 25 %
    // Every distinct dog met in the chart other than the analysed dog itself, in the order
    // in which a walk of the chart (sire before dam, depth first) first meets it.
    std::vector<AncestorEntry> ancestors;
    qint32 entries_filled = 1;  // occupied chart places, the analysed dog included
    int deepest_generation = 0;
    int complete_generations = 0;

    friend bool operator==(const InbreedingAnalysis&, const InbreedingAnalysis&) = default;
};

// Gives the coefficient of an ancestor over a smaller depth; the walk multiplies each
// ancestor's path sum by one plus this.
using SubAnalysis = std::function<double(qint32 dog, int generations)>;

// The walk as first designed, kept as the yardstick for the fast engine: every chart place
// is filled, every pair of places of an ancestor on the two sides is tested for a shared dog
// between it and the analysed dog, and every contributing ancestor starts an analysis of its
// own. Its cost doubles with each generation. `sub` answers those analyses; without it the
// walk calls itself, as designed.
InbreedingAnalysis ComputeInbreedingLiterally(qint32 dog, int generations,
                                              const ParentLookup& parents,
                                              const SubAnalysis& sub = {});

// The analysed dog's own sweep and its ancestors' sub-analyses can share two threads, with
// the very same figures as on one.
enum class SecondThread { kNever, kForLargeAncestries, kAlways };

// The same figures (the same doubles, bit for bit, in the same order) without visiting the
// chart's places one by one: appearances are counted per dog and generation, and the
// independent pairs of lines are found by a kinship sweep over pairs of dogs that meets each
// pair of lines once, at the first dog they share. Each distinct ancestor is looked up once.
// Falls back to the literal walk where the data holds a dog that is its own ancestor or a
// dog whose sire is also its dam.
InbreedingAnalysis ComputeInbreeding(qint32 dog, int generations, const ParentLookup& parents,
                                     class CoefficientCache* cache = nullptr,
                                     SecondThread second = SecondThread::kNever);

// Coefficients found while analysing dogs of one pedigree (one ParentLookup), kept for the
// analyses that follow: a dog's coefficient over a number of generations depends only on its
// sire, its dam and the depth, so an analysis of many dogs, oldest first, finds most of the
// coefficients of their ancestors already known. Safe to share between threads.
class CoefficientCache {
public:
    std::optional<double> Find(qint32 sire, qint32 dam, int generations) const;
    void Store(qint32 sire, qint32 dam, int generations, double coefficient);

private:
    struct Key {
        qint32 sire;
        qint32 dam;
        int generations;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept;
    };
    mutable std::mutex mutex_;
    std::unordered_map<Key, double, KeyHash> known_;
};

// The report's order: the first min(count, limit) entries of the design's exchange ordering
// (greater percent of blood first, then greater contribution). Each pass of the exchange only
// touches the places from its own onwards, so the leading rows need only `limit` passes.
std::vector<AncestorEntry> OrderForReport(std::vector<AncestorEntry> entries,
                                          std::size_t limit = 40);

}  // namespace lineara
