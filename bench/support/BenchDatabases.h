#pragma once

#include "sample/PedigreeGenerator.h"

#include <QString>

#include <vector>

namespace lineara::bench {

// A database holding the generated pedigree of `dogs` dogs (DatabaseOptions: seed 1, a
// moderate inbreeding rate, the given share of second entries). Made once and kept in the
// cache folder, since a million dogs take a while to write; the file name carries everything
// that shapes the content, the table layout included, so a changed generator or schema never
// has an old file measured.
QString GeneratedDatabase(qint32 dogs, double duplicate_share = 0.0);

// A database of a generated pedigree of any shape, made once and kept in the cache folder
// under a name that carries every option (and `label` to make it readable).
QString CachedDatabase(const PedigreeOptions& options, const QString& label);

// A database of a real pedigree file of the shared data folder (see PedigreeDataFile), made
// once and cached; empty when the file is not on this machine.
QString RealPedigreeDatabase(const QString& csv_name, const QString& prefix);

// The options GeneratedDatabase uses. The last dog's ancestry is complete, so that it has a
// full six-generation chart for the chart benchmarks.
PedigreeOptions DatabaseOptions(qint32 dogs, double duplicate_share = 0.0);

// Path of a file of real pedigree data, or an empty string when it is not on this machine.
QString PedigreeDataFile(const QString& name);

// A fresh, empty database file in a temporary folder that lives as long as the process.
QString FreshDatabase();

// DogIDs spread evenly at random over 1..dogs, the same on every run.
std::vector<qint32> RandomIds(qint32 dogs, std::size_t count, quint64 seed = 7);

}  // namespace lineara::bench
