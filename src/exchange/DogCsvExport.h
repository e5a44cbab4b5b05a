#pragma once

#include "app/Progress.h"

#include <QString>
#include <QStringList>

namespace lineara {

class DogDatabase;

// The header of an exported file: every field of the dog record in table order without the
// scratch fields, then SireName and DamName, the parents' registered names.
QStringList DogCsvHeader();

// Writes every dog of the database (root_dog_id 0), or the root dog and its ancestors over
// `generations` generations, as CSV in UTF-8 with a header row: Yes/No as Y and N, dates as
// YYYY-MM-DD, IC as a fraction, texts guarded against formulas. The file is written under a
// temporary name and moved into place, so an old file stays whole on failure. Returns the
// number of dogs written; throws CsvError naming the file, StoreError for the database.
qint64 ExportDogsCsv(DogDatabase& database, const QString& path, qint32 root_dog_id = 0,
                     int generations = 0, Progress* progress = nullptr);

}  // namespace lineara
