#include "records/AddDog.h"

namespace lineara {

void AddDog(RecordStore& cursor, AppState& state, Prompts& prompts, const OpenDogEditor& open_editor) {
    cursor.AddNew();
    cursor.Update();
    const qint32 new_id = cursor.LastModified().dog_id;
    cursor.SetBookmark(cursor.LastModified());
    if (state.SexHint == 1) {
        cursor.Edit();
        cursor.SetValue(Field::SexMale, true);
        cursor.Update();
    }
    state.SelectedDogID = new_id;

    if (open_editor) {
        open_editor(true);
    }

    cursor.Refresh();
    cursor.FindFirst(Criterion::ById(new_id));
    // When the editor already removed the new record (the user cancelled it, or chose to
    // edit an existing dog of the same name) there is nothing left to check here.
    if (cursor.NoMatch()) {
        return;
    }
    if (cursor.IsNull(Field::RegName)) {
        prompts.Message(QStringLiteral("Dog not added"),
                        QStringLiteral("No registered name was entered.  The dog information was not "
                                       "entered into the database"),
                        Prompts::Buttons::Ok);
        cursor.Delete();
        state.SelectedDogID = 0;
    }
}

}  // namespace lineara
