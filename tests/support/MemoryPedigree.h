#pragma once

#include "analysis/Ancestry.h"

#include <map>
#include <optional>

namespace lineara::test {

// A pedigree held in memory: DogID -> parents, read through a ParentLookup.
struct MemoryPedigree {
    std::map<qint32, Parents> dogs;

    qint32 Add(qint32 id, qint32 sire = 0, qint32 dam = 0) {
        dogs[id] = {sire, dam};
        return id;
    }
    ParentLookup Lookup() const {
        return [this](qint32 id) -> std::optional<Parents> {
            const auto found = dogs.find(id);
            if (found == dogs.end()) {
                return std::nullopt;
            }
            return found->second;
        };
    }
};

}  // namespace lineara::test
