#include "records/DogRemoval.h"

namespace lineara {

void RemoveDog(RecordStore& cursor, qint32 dog_id) {
    if (dog_id <= 0) {
        return;
    }
    DogDatabase& database = cursor.Database();
    DogDatabase::Transaction transaction(database);
    cursor.FindFirst(Criterion::ById(dog_id));
    if (!cursor.NoMatch()) {
        cursor.Delete();
    }
    database.ReplaceNumber(Field::SireID, dog_id, 0);
    database.ReplaceNumber(Field::DamID, dog_id, 0);
    transaction.Commit();
}

}  // namespace lineara
