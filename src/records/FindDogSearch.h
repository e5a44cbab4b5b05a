#pragma once

#include "store/RecordStore.h"

#include <QString>

#include <vector>

namespace lineara {

// One entry of the find-dog list: the registered name as stored and the dog it stands for.
struct FoundDog {
    QString reg_name;
    qint32 dog_id = 0;  // 0 for the "(no match found)" entry

    bool operator==(const FoundDog&) const = default;
};

struct FindDogResult {
    std::vector<FoundDog> dogs;  // alphabetical, letter case ignored
    QString count_text;          // "1 dog found", "7 dogs found", "No male dogs found" ...
};

inline const QString kNoMatchFound = QStringLiteral("(no match found)");

// The find-dog search: every dog whose registered name holds the text (blanks around it
// trimmed, letter case ignored) and whose sex passes the hint (1 males, 0 females, -1 any).
// Dogs without a registered name are never listed. No match gives the single entry
// "(no match found)" with DogID 0. Empty or blank text gives an empty result with an empty
// count text: there is nothing to search for.
FindDogResult FindDogs(RecordStore& store, const QString& text, qint16 sex_hint);

}  // namespace lineara
