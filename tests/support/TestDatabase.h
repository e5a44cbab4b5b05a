#pragma once

#include "store/DogDatabase.h"
#include "store/RecordStore.h"

#include <QString>

#include <initializer_list>
#include <utility>

namespace lineara::test {

// Creates an empty database file at the path.
inline void CreateDatabase(const QString& path) { DogDatabase::Create(path); }

// Adds one dog through the cursor and returns its DogID. Extra fields are written as given.
inline qint32 AddTestDog(RecordStore& store, const QString& name, bool male = true, qint32 sire = 0,
                         qint32 dam = 0, std::initializer_list<std::pair<Field, QVariant>> extra = {}) {
    store.AddNew();
    store.SetValue(Field::RegName, name);
    store.SetValue(Field::SexMale, male);
    store.SetValue(Field::SireID, sire);
    store.SetValue(Field::DamID, dam);
    for (const auto& [field, value] : extra) {
        store.SetValue(field, value);
    }
    store.Update();
    return store.LastModified().dog_id;
}

}  // namespace lineara::test
