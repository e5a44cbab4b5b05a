#include "records/DuplicateName.h"

#include "records/DogRemoval.h"

namespace lineara {

namespace {

// Another record than `editing_id` with the name, or 0. Several dogs may share a name already
// (imported or merged data), and the record being edited may itself be the first of them.
qint32 OtherDogNamed(RecordStore& cursor, const QString& name, qint32 editing_id) {
    const Criterion criterion = Criterion::ByRegName(name);
    cursor.FindFirst(criterion);
    while (!cursor.NoMatch()) {
        if (cursor.DogID() != editing_id) {
            return cursor.DogID();
        }
        cursor.FindNext(criterion);
    }
    return 0;
}

void DeleteEdited(RecordStore& cursor, qint32 editing_id, bool editing_new_dog) {
    if (editing_new_dog) {
        // Nothing refers to a dog that is still being entered.
        cursor.FindFirst(Criterion::ById(editing_id));
        if (!cursor.NoMatch()) {
            cursor.Delete();
        }
    } else {
        RemoveDog(cursor, editing_id);
    }
}

}  // namespace

DuplicateOutcome CheckDuplicateName(RecordStore& search_cursor, qint32 editing_id,
                                    bool editing_new_dog, const QString& typed_name,
                                    Prompts& prompts, AppState& state) {
    const QString name = typed_name.trimmed();
    if (name.isEmpty()) {
        return {};
    }
    const qint32 existing = OtherDogNamed(search_cursor, name, editing_id);
    if (existing == 0) {
        return {};
    }
    switch (prompts.Message(kDuplicateNameTitle, kDuplicateNameText, Prompts::Buttons::YesNoCancel,
                            Prompts::Icon::Question)) {
        case Prompts::Answer::Yes:
            DeleteEdited(search_cursor, editing_id, editing_new_dog);
            state.SelectedDogID = existing;
            return {DuplicateOutcome::EditExisting, existing};
        case Prompts::Answer::Cancel:
            DeleteEdited(search_cursor, editing_id, editing_new_dog);
            state.SelectedDogID = 0;
            return {DuplicateOutcome::DeletedAndClosed, existing};
        default:
            return {DuplicateOutcome::KeepEditing, existing};
    }
}

}  // namespace lineara
