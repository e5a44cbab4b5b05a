#pragma once

#include "support/MemoryPedigree.h"

#include <algorithm>
#include <random>
#include <vector>

namespace lineara::test {

// A population bred from a few founders, parents from the last three generations, some
// parents unknown or naming no record; `loops` adds now and then a dog that is its own
// ancestor or has the same sire and dam. Parents always have smaller DogIDs than their
// offspring, except through a loop. With `litters`, that share of the dogs are full siblings
// of the dog before them.
inline MemoryPedigree RandomHerd(std::mt19937& random, bool loops, double litters = 0) {
    MemoryPedigree h;
    std::uniform_int_distribution<int> size_of(3, 12);
    const int generations = std::uniform_int_distribution<int>(3, 13)(random);
    std::vector<std::vector<qint32>> by_generation(1);
    qint32 next = 1;
    for (int i = size_of(random); i > 0; --i) {
        by_generation[0].push_back(h.Add(next++));
    }
    std::bernoulli_distribution unknown(0.08);
    std::bernoulli_distribution dangling(0.03);
    for (int g = 1; g < generations; ++g) {
        by_generation.emplace_back();
        for (int i = size_of(random); i > 0; --i) {
            auto pick = [&]() -> qint32 {
                if (unknown(random)) {
                    return 0;
                }
                if (dangling(random)) {
                    return 100000 + next;
                }
                const int back = std::uniform_int_distribution<int>(1, std::min(g, 3))(random);
                const auto& pool = by_generation[static_cast<std::size_t>(g - back)];
                return pool[std::uniform_int_distribution<std::size_t>(0, pool.size() - 1)(random)];
            };
            if (litters > 0 && !by_generation.back().empty() && std::bernoulli_distribution(litters)(random)) {
                // A full sibling of the dog before.
                const Parents previous = h.dogs[by_generation.back().back()];
                by_generation.back().push_back(h.Add(next++, previous.sire, previous.dam));
                continue;
            }
            const qint32 sire = pick();
            qint32 dam = pick();
            if (!loops && dam == sire) {
                dam = 0;
            }
            by_generation.back().push_back(h.Add(next++, sire, dam));
        }
    }
    if (loops && std::bernoulli_distribution(0.5)(random)) {
        h.dogs[by_generation[0][0]].dam = by_generation.back()[0];
    }
    return h;
}

}  // namespace lineara::test
