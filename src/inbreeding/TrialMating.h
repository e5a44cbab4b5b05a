#pragma once

#include "inbreeding/Inbreeding.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <unordered_map>

namespace lineara {

class AllGenerationsPedigree;
class DogDatabase;

// The DogID under which a planned puppy is looked up. Stored DogIDs are positive, so no
// record has it and no stored dog names it as a parent.
inline constexpr qint32 kTrialPuppy = -1;

// The stored pedigree with a planned puppy of `sire` x `dam` added under kTrialPuppy.
ParentLookup WithTrialPuppy(ParentLookup parents, qint32 sire, qint32 dam);

// The textbook kinship of two dogs over every known ancestor: the coefficient of inbreeding
// their puppy would have, by Meuwissen and Luo's method over the ancestors of the two. A
// parent link that would make a dog its own ancestor is left out (the coefficient is not
// defined through a loop).
//
// `known`, when given, holds dogs of the same pedigree with their parents and coefficients over
// all known generations from earlier calls: their ancestries are not worked out again, and
// the dogs this call works out are added.
struct KnownAncestry {
    Parents parents;
    double coefficient = 0;
};
using KnownAncestries = std::unordered_map<qint32, KnownAncestry>;
double KinshipOverAllGenerations(qint32 x, qint32 y, const ParentLookup& parents,
                                 KnownAncestries* known = nullptr);

// Wright's relationship coefficient of two dogs over N generations:
// R = 2 F_P / sqrt((1 + F_X)(1 + F_Y)), F_P the coefficient of their puppy over N generations
// and F_X, F_Y their own over N - 1 (their depth in the puppy's chart). A dog with itself is
// 1 (ComputeTrialMating sees to that; the chart walk gives such a puppy no coefficient).
double RelationshipCoefficient(double puppy, double x, double y);

// A planned mating: the puppy's analysis, as a real puppy of the pair would get it, with the
// pair's relationship and the puppy's coefficient over all known generations.
struct TrialMating {
    InbreedingAnalysis analysis;
    double relationship = 0;
    double all_generations = 0;
};
// `known` and `cache` carry what one trial mating learns of the pedigree to the next. With
// `whole`, the same pedigree with its coefficients over all generations already worked out,
// the all-generations figure comes from there instead.
TrialMating ComputeTrialMating(qint32 sire, qint32 dam, int generations,
                               const ParentLookup& parents, KnownAncestries* known = nullptr,
                               CoefficientCache* cache = nullptr, AllGenerationsPedigree* whole = nullptr);

// The report of a planned puppy: the inbreeding report with the name line "Trial mating",
// and after the table the relationship and the coefficient over all known generations.
QByteArray TrialMatingReportText(const TrialMating& mating, const std::optional<QString>& sire_name,
                                 const std::optional<QString>& dam_name, int generations,
                                 const std::function<QString(qint32)>& name_of);

// A trial mating on a database, with its report. Throws StoreError when either parent has
// no record. Nothing is stored. What the all-generations figure learns of the pedigree is kept
// for the next trial mating on the same open database, as long as nothing in the file changes.
struct TrialMatingRun {
    TrialMating mating;
    QByteArray report;
    bool prepared = false;  // a TrialMatingPreparation's pedigree was used
};
TrialMatingRun RunTrialMating(DogDatabase& database, qint32 sire, qint32 dam, int generations);

// Works out every dog's coefficient over all known generations on a thread of its own, for
// the trial matings on this open database: each then gets that figure in one pass over the
// pair's ancestors instead of working out every ancestor not met before. Started when the
// Trial Mating dialog opens; a trial mating calculated before it is done goes the longer
// way. What it works out is kept while the file stays unchanged, as a trial mating's own
// findings are. Does nothing when that is kept already, when the connection is in the middle
// of writing (another connection would not see what it wrote), or on a pedigree that makes
// a dog its own ancestor.
class TrialMatingPreparation {
public:
    explicit TrialMatingPreparation(DogDatabase& database);
    ~TrialMatingPreparation();  // stops the work and waits for its thread
    TrialMatingPreparation(const TrialMatingPreparation&) = delete;
    TrialMatingPreparation& operator=(const TrialMatingPreparation&) = delete;
    // Waits until the work is done (tests, benchmarks).
    void Wait();

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace lineara
