#pragma once

#include "store/RecordStore.h"

namespace lineara {

// Deletes a dog and resets to 0 every SireID and DamID that named it, so no record is left
// pointing at a dog that is gone. The dog's own parents are untouched. Runs as one
// transaction: on a failure nothing has changed. A DogID naming no record still clears the
// references to it. Leaves the cursor on no row when it stood on the deleted dog.
void RemoveDog(RecordStore& cursor, qint32 dog_id);

}  // namespace lineara
