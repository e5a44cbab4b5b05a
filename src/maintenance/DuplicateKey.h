#pragma once

#include "app/TrimBlanks.h"

#include "store/DogRecord.h"

#include <QString>
#include <QVariant>

namespace lineara {

class DogDatabase;

// The key under which the clean-up looks for dogs entered twice: the registered name in upper
// case, trimmed, with every run of one character cut to one, keeping only the consonants
// "BCDFGHJKLMNPQRTVWXZ". Names differing only in vowels, doubled letters, S, Y, digits, blanks
// or punctuation share it. A Null name, and a name keeping none of those letters, have the
// empty key, which never takes part in the search.
QString DuplicateKey(const QVariant& reg_name);

// How a dog is shown when two records are compared: the trimmed registered name, then
// " (by SIRE, out of DAM)" with whichever parents it has, their names as stored. A parent
// number that names no record counts as no parent.
QString DuplicateDescription(DogDatabase& database, const DogRecord& dog);


}  // namespace lineara
