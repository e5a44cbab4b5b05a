#pragma once

#include "sample/Pedigree.h"

namespace lineara {

// The shape of a synthetic pedigree. The defaults give a breed-like population: a closed
// population in which most litters come from a small share of popular sires and one mating
// in ten is between relatives, so coefficients of inbreeding grow with every generation, and
// a few parents are unknown, as in real records.
struct PedigreeOptions {
    qint32 dogs = 10000;
    // Generations of equal size, the founders (no parents) being the first.
    int generations = 12;
    // Share of matings in which the dam is chosen among the sire's relatives (his
    // half-sisters or cousins) instead of among all bitches of breeding age: 0 to 1.
    // Popular sires make for some related matings even at 0; this is deliberate line breeding
    // on top of that.
    double inbreeding = 0.1;
    // Gives every ancestor of the last dog that is not a founder both parents, so that its
    // chart is as full as the number of generations allows. (The last dog that is not a
    // second entry, when there are any.)
    bool complete_last_ancestry = false;
    // Parents are drawn from this many generations before the litter's own.
    int parent_generations = 2;
    // Share of the males of a generation that sire litters (above 0, at most 1).
    double stud_share = 0.15;
    // Chance that a parent of a non-founder is not recorded.
    double unknown_parent_share = 0.02;
    // Share of conformation champions; the other titles come at fixed small rates.
    double champion_share = 0.08;
    // Share of the dogs that are second entries of another dog, with no offspring: work for
    // the clean-up. A third each are the same dog entered again, the same name in capitals
    // with other parents, and the name with one letter doubled. They come last.
    double duplicate_share = 0.0;
    quint64 seed = 1;
};

// Makes synthetic pedigrees. The same options always give the same pedigree, on every
// platform: the generator brings its own random numbers.
class PedigreeGenerator {
public:
    // Throws std::invalid_argument for options out of range.
    static Pedigree Generate(const PedigreeOptions& options);
};

}  // namespace lineara
