#pragma once

#include "store/DogRecord.h"

namespace lineara {

// Folds the record `other` into `kept`, field by field, as the clean-up merges two entries of
// one dog: missing parents are taken, the free-text titles, other championships,
// certifications and description are joined with one blank, notes with five, a title held by
// either record is held by the result, Null and blank entries are filled in, and the sex,
// dates and numbers of the kept record stay. The result keeps kept's DogID.
DogRecord FoldRecords(const DogRecord& kept, const DogRecord& other);

}  // namespace lineara
