#pragma once

#include "sample/PedigreeGenerator.h"

#include <QString>

#include <vector>

namespace lineara::bench {

// A database holding the generated pedigree of `dogs` dogs (default options, seed 1, the
// given share of second entries). Made once and kept in the cache folder, since a million
// dogs take a while to write; the name carries everything that shapes the content.
QString GeneratedDatabase(qint32 dogs, double duplicate_share = 0.0);

// The options GeneratedDatabase uses.
PedigreeOptions DatabaseOptions(qint32 dogs, double duplicate_share = 0.0);

// Path of a file of real pedigree data, or an empty string when it is not on this machine.
QString PedigreeDataFile(const QString& name);

// A fresh, empty database file in a temporary folder that lives as long as the process.
QString FreshDatabase();

// DogIDs spread evenly at random over 1..dogs, the same on every run.
std::vector<qint32> RandomIds(qint32 dogs, std::size_t count, quint64 seed = 7);

}  // namespace lineara::bench
