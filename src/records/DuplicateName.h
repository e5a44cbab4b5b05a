#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "store/RecordStore.h"

namespace lineara {

// What the registered-name check decided, and what the dog editor does next.
struct DuplicateOutcome {
    enum Kind {
        NoDuplicate,       // no other dog has the name: carry on
        EditExisting,      // the record being edited is gone; show existing_id instead
        KeepEditing,       // the user goes back to the name box
        DeletedAndClosed,  // the record being edited is gone; close the editor
    } kind = NoDuplicate;
    qint32 existing_id = 0;  // the other dog with the name, when there is one
};

inline const QString kDuplicateNameTitle = QStringLiteral("Duplicate Name");
inline const QString kDuplicateNameText = QStringLiteral(
    "Another dog with this same name is already in the database.  Would you like to edit the "
    "existing record? (click Yes to edit the other existing record, No to go back to editing "
    "the current record, or Cancel to delete the current record and exit)");

// The dog editor's check when the registered-name box loses the focus. Looks for another
// record with the typed name (blanks trimmed, letter case ignored) and, when there is one,
// asks whether to edit that one instead. Yes deletes the record being edited and leaves the
// other dog in state.SelectedDogID; Cancel deletes it and leaves 0 there; No changes nothing.
// Deleting an existing dog clears every parent reference to it, as deleting from the chart
// does. An empty name is not checked. The search cursor is moved; the editor's own cursor must
// be refreshed after a deletion.
DuplicateOutcome CheckDuplicateName(RecordStore& search_cursor, qint32 editing_id,
                                    bool editing_new_dog, const QString& typed_name,
                                    Prompts& prompts, AppState& state);

}  // namespace lineara
