#include "sample/PedigreeGenerator.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lineara {

namespace {

// xoshiro256** seeded through splitmix64: small, fast, and the same everywhere, which the
// standard library's distributions are not.
class Random {
public:
    explicit Random(quint64 seed) {
        for (quint64& word : state_) {
            seed += 0x9E3779B97F4A7C15ULL;
            quint64 z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            word = z ^ (z >> 31);
        }
    }

    quint64 Next() {
        const quint64 result = Rotl(state_[1] * 5, 7) * 9;
        const quint64 t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = Rotl(state_[3], 45);
        return result;
    }

    // A number from 0 to bound - 1 (bound > 0). The bias of the remainder is far below
    // anything a benchmark could notice.
    quint64 Below(quint64 bound) { return Next() % bound; }
    bool Chance(double probability) {
        return static_cast<double>(Next() >> 11) * 0x1.0p-53 < probability;
    }

private:
    static quint64 Rotl(quint64 x, int k) { return (x << k) | (x >> (64 - k)); }
    quint64 state_[4];
};

// Three years between generations, closer when that would reach back more than a century.
qint32 GenerationDays(qint32 generations) {
    return std::max(1, std::min(1096, 36525 / generations));
}

void Check(bool condition, const char* message) {
    if (!condition) {
        throw std::invalid_argument(message);
    }
}

bool IsShare(double value) {
    return value >= 0.0 && value <= 1.0;
}

quint16 RandomTitles(Random& random, double champion_share) {
    const std::vector<Field>& fields = Pedigree::TitleFields();
    quint16 titles = 0;
    const auto give = [&](Field field) {
        const auto bit = std::find(fields.begin(), fields.end(), field) - fields.begin();
        titles = static_cast<quint16>(titles | (1U << bit));
    };
    if (random.Chance(champion_share)) {
        give(Field::AmCh);
        if (random.Chance(0.5)) {
            give(Field::CanCh);
        }
        if (random.Chance(0.25)) {
            give(Field::ROM);
        }
        if (random.Chance(0.1)) {
            give(Field::BIS);
        }
    }
    // Each ladder is kept whole: a dog with a higher title holds the lower ones too.
    if (random.Chance(0.06)) {
        give(Field::AmCD);
        if (random.Chance(0.35)) {
            give(Field::AmCDX);
        }
    }
    if (random.Chance(0.03)) {
        give(Field::CanCD);
    }
    if (random.Chance(0.01)) {
        give(Field::HIT);
    }
    if (random.Chance(0.03)) {
        give(Field::NA);
        if (random.Chance(0.5)) {
            give(Field::OA);
        }
    }
    if (random.Chance(0.02)) {
        give(Field::FD);
    }
    if (random.Chance(0.02)) {
        give(Field::TDI);
    }
    if (random.Chance(0.05)) {
        give(Field::AmCGC);
    }
    if (random.Chance(0.005)) {
        give(Field::ForceCh);
    }
    return titles;
}

// Lists of dogs by position: the dogs of each generation, or the offspring of each dog.
using Layers = std::vector<std::vector<qint32>>;

// A bitch of the generations first..last related to the sire: a half-sister (she shares one
// parent with him) or a cousin (she shares a grandparent), the kind picked at random and the
// other tried when there is none of it. 0 when he has no such relative.
qint32 FindRelative(const Pedigree& pedigree, const Layers& children, qint32 sire, int first,
                    int last, Random& random) {
    const Pedigree::Dog& stud = pedigree.At(sire);
    std::vector<qint32> parents;
    std::vector<qint32> grandparents;
    for (qint32 parent : {stud.sire, stud.dam}) {
        if (parent > 0) {
            parents.push_back(parent);
            for (qint32 grandparent : {pedigree.At(parent).sire, pedigree.At(parent).dam}) {
                if (grandparent > 0) {
                    grandparents.push_back(grandparent);
                }
            }
        }
    }
    const auto offspring = [&](qint32 dog) -> const std::vector<qint32>& {
        return children[static_cast<std::size_t>(dog)];
    };
    std::vector<qint32> candidates;
    const auto consider = [&](qint32 dog) {
        const Pedigree::Dog& dam = pedigree.At(dog);
        // Never his mother, his daughter or his full sister: that is not line breeding but
        // incest, which no breeder plans.
        const bool full_sister = dam.sire == stud.sire && dam.dam == stud.dam;
        if (!dam.male && dog != stud.dam && dam.sire != sire && !full_sister &&
            dam.generation >= first && dam.generation <= last) {
            candidates.push_back(dog);
        }
    };
    const bool cousins_first = random.Chance(0.5);
    for (int round = 0; round < 2 && candidates.empty(); ++round) {
        if ((round == 0) != cousins_first) {
            for (qint32 parent : parents) {
                std::for_each(offspring(parent).begin(), offspring(parent).end(), consider);
            }
        } else {
            for (qint32 grandparent : grandparents) {
                for (qint32 uncle : offspring(grandparent)) {
                    std::for_each(offspring(uncle).begin(), offspring(uncle).end(), consider);
                }
            }
        }
    }
    return candidates.empty() ? 0 : candidates[random.Below(candidates.size())];
}

// Any dog of the given layers from the generations first..last, or 0 when they are empty.
qint32 AnyOf(const Layers& layers, int first, int last, Random& random) {
    std::size_t count = 0;
    for (int g = first; g <= last; ++g) {
        count += layers[static_cast<std::size_t>(g)].size();
    }
    if (count == 0) {
        return 0;
    }
    std::size_t pick = random.Below(count);
    for (int g = first;; ++g) {
        const std::vector<qint32>& layer = layers[static_cast<std::size_t>(g)];
        if (pick < layer.size()) {
            return layer[pick];
        }
        pick -= layer.size();
    }
}

// Fills in the parents missing anywhere in the ancestry of the dog at `last`, founders
// excepted, from the generations its parents would have come from.
void CompleteAncestry(Pedigree& pedigree, qint32 last, const Layers& males, const Layers& females,
                      int parent_generations, Random& random) {
    std::vector<bool> seen(static_cast<std::size_t>(last) + 1, false);
    std::vector<qint32> todo{last};
    while (!todo.empty()) {
        const qint32 position = todo.back();
        todo.pop_back();
        const Pedigree::Dog dog = pedigree.At(position);
        if (dog.generation > 0 && (dog.sire == 0 || dog.dam == 0)) {
            const int first = std::max(0, dog.generation - parent_generations);
            const int newest = dog.generation - 1;
            pedigree.SetParents(position,
                                dog.sire != 0 ? dog.sire : AnyOf(males, first, newest, random),
                                dog.dam != 0 ? dog.dam : AnyOf(females, first, newest, random));
        }
        for (qint32 parent : {pedigree.At(position).sire, pedigree.At(position).dam}) {
            if (parent > 0 && !seen[static_cast<std::size_t>(parent)]) {
                seen[static_cast<std::size_t>(parent)] = true;
                todo.push_back(parent);
            }
        }
    }
}

}  // namespace

Pedigree PedigreeGenerator::Generate(const PedigreeOptions& options) {
    Check(options.dogs >= 0, "the number of dogs cannot be negative");
    Check(options.generations >= 1 && options.generations <= 1000,
          "the number of generations must be 1 to 1000");
    Check(options.parent_generations >= 1, "parents must come from at least one generation");
    Check(options.stud_share > 0.0 && options.stud_share <= 1.0,
          "the share of stud dogs must be above 0 and at most 1");
    Check(IsShare(options.inbreeding), "the inbreeding rate must lie between 0 and 1");
    Check(IsShare(options.unknown_parent_share) && IsShare(options.champion_share) &&
              IsShare(options.duplicate_share),
          "shares must lie between 0 and 1");

    Random random(options.seed);
    Pedigree pedigree;
    pedigree.Reserve(options.dogs);

    qint32 duplicates = static_cast<qint32>(std::llround(options.dogs * options.duplicate_share));
    qint32 originals = options.dogs - duplicates;
    if (originals == 0) {
        originals = options.dogs;
        duplicates = 0;
    }
    const qint32 generations =
        std::max<qint32>(1, std::min<qint32>(options.generations, originals));
    // The youngest generation is born in the years before 2020.
    const qint32 generation_days = GenerationDays(generations);
    const qint32 first_day =
        static_cast<qint32>(QDate(2020, 1, 1).toJulianDay()) - generations * generation_days;

    Layers males(static_cast<std::size_t>(generations));
    Layers females(static_cast<std::size_t>(generations));
    // Offspring by parent's position, for finding relatives; only kept when needed.
    Layers children(options.inbreeding > 0.0 ? static_cast<std::size_t>(originals) + 1 : 0);
    std::vector<qint32> studs;
    std::vector<qint32> dams;
    for (qint32 generation = 0; generation < generations; ++generation) {
        qint32 remaining =
            originals / generations + (generation == generations - 1 ? originals % generations : 0);
        studs.clear();
        dams.clear();
        for (qint32 older = std::max(0, generation - options.parent_generations);
             older < generation; ++older) {
            const auto& layer_males = males[static_cast<std::size_t>(older)];
            const auto stud_count = static_cast<std::size_t>(
                std::ceil(options.stud_share * static_cast<double>(layer_males.size())));
            // The males of a generation come in random order, so its first ones are as good
            // a choice of popular sires as any.
            studs.insert(studs.end(), layer_males.begin(),
                         layer_males.begin() + static_cast<std::ptrdiff_t>(stud_count));
            const auto& layer_females = females[static_cast<std::size_t>(older)];
            dams.insert(dams.end(), layer_females.begin(), layer_females.end());
        }
        while (remaining > 0) {
            const qint32 litter =
                std::min<qint32>(remaining, 2 + static_cast<qint32>(random.Below(6)));
            remaining -= litter;
            Pedigree::Dog pup;
            pup.generation = static_cast<quint16>(generation);
            pup.born = first_day + generation * generation_days +
                       static_cast<qint32>(random.Below(static_cast<quint64>(generation_days)));
            if (generation > 0) {
                if (!studs.empty() && !random.Chance(options.unknown_parent_share)) {
                    pup.sire = studs[random.Below(studs.size())];
                }
                if (!dams.empty() && !random.Chance(options.unknown_parent_share)) {
                    if (pup.sire > 0 && random.Chance(options.inbreeding)) {
                        pup.dam = FindRelative(pedigree, children, pup.sire,
                                               std::max(0, generation - options.parent_generations),
                                               generation - 1, random);
                    }
                    if (pup.dam == 0) {
                        pup.dam = dams[random.Below(dams.size())];
                    }
                }
            }
            for (qint32 i = 0; i < litter; ++i) {
                pup.male = random.Chance(0.5);
                pup.titles = RandomTitles(random, options.champion_share);
                pup.name = static_cast<quint32>(pedigree.Size());
                const qint32 position = pedigree.Add(pup);
                (pup.male ? males : females)[static_cast<std::size_t>(generation)].push_back(
                    position);
                if (!children.empty()) {
                    for (qint32 parent : {pup.sire, pup.dam}) {
                        if (parent > 0) {
                            children[static_cast<std::size_t>(parent)].push_back(position);
                        }
                    }
                }
            }
        }
    }
    if (options.complete_last_ancestry && originals > 0) {
        CompleteAncestry(pedigree, originals, males, females, options.parent_generations, random);
    }

    // A third each: the same dog entered twice; the same name in capitals with the parents of
    // another dog; one letter doubled, with the same parents.
    const auto any_original = [&] {
        return 1 + static_cast<qint32>(random.Below(static_cast<quint64>(originals)));
    };
    for (qint32 i = 0; i < duplicates; ++i) {
        Pedigree::Dog copy = pedigree.At(any_original());
        switch (random.Below(3)) {
            case 0:
                break;
            case 1: {
                const Pedigree::Dog& other = pedigree.At(any_original());
                copy.variant = Pedigree::Variant::UpperCase;
                copy.sire = other.sire;
                copy.dam = other.dam;
                break;
            }
            default:
                copy.variant = Pedigree::Variant::DoubledLetter;
                break;
        }
        pedigree.Add(copy);
    }
    return pedigree;
}

}  // namespace lineara
