#pragma once

#include "sample/Pedigree.h"

#include <QString>

namespace lineara {

// Reads real pedigrees kept as comma-separated text: one animal a line, its id, its sire's
// id and its dam's id in the first three columns (more columns are ignored), values
// optionally in double quotes. A first line whose first column reads "id" is a header.
// An empty parent, "0", "NA" or "." is unknown.
//
// Lines may come in any order; parents are put before their offspring. A parent without a
// line of its own is added as a founder. An animal named as a sire is male, as a dam
// female, and one named as neither alternates, so that both sexes have their share. Names
// are the prefix followed by the id.
//
// Throws std::runtime_error naming the line for a malformed line, a repeated id and an
// animal that is its own ancestor.
class PedigreeCsv {
public:
    static Pedigree Parse(const QString& text, const QString& name_prefix = QString());
    static Pedigree ReadFile(const QString& path, const QString& name_prefix = QString());
};

}  // namespace lineara
