#include "records/ChartActions.h"

#include "records/AddDog.h"
#include "records/DogRemoval.h"

#include <unordered_set>
#include <utility>
#include <vector>

namespace lineara {

namespace {

const QString kShowInstruction = QStringLiteral("Click on a dog's name to show its lineara");

bool IsPlace(int position) {
    return position >= 1 && position <= kMaxPositions;
}

// Whether `sought` is among the recorded ancestors of `dog`. Every dog is looked at once, so
// a pedigree that already loops (a dog recorded as its own ancestor) cannot trap the walk.
bool IsAncestor(DogDatabase& database, qint32 sought, qint32 dog) {
    sqlite::Statement parents(database.Connection(),
                              "SELECT SireID, DamID FROM DogInfo WHERE DogID = ?1");
    std::unordered_set<qint32> seen{dog};
    std::vector<qint32> to_visit{dog};
    while (!to_visit.empty()) {
        const qint32 next = to_visit.back();
        to_visit.pop_back();
        parents.BindInteger(1, next);
        if (parents.Step()) {
            for (const int column : {0, 1}) {
                const auto parent = static_cast<qint32>(parents.Integer(column));
                if (parent == sought) {
                    return true;
                }
                if (parent > 0 && seen.insert(parent).second) {
                    to_visit.push_back(parent);
                }
            }
        }
        parents.Reset();
    }
    return false;
}

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

}  // namespace

ClickResult DecideClick(const ChartModel& model, int position, bool right_button) {
    if (!IsPlace(position)) {
        return ClickResult::Beep;
    }
    const qint32 clicked = model.DogAt(position);
    const qint32 child = position == 1 ? -1 : model.DogAt(position / 2);
    if (clicked == 0) {
        return child == 0 ? ClickResult::Beep : ClickResult::Place;
    }
    return right_button ? ClickResult::ShowPopup : ClickResult::Place;
}

ChartActions::ChartActions(RecordStore& cursor, AppState& state, Prompts& prompts,
                           DogDialogs& dialogs, ChartModel& model, std::function<void()> refill)
    : cursor_(cursor),
      state_(state),
      prompts_(prompts),
      dialogs_(dialogs),
      model_(model),
      refill_(std::move(refill)) {}

void ChartActions::PlaceDog(int position) {
    if (!IsPlace(position)) {
        return;
    }
    const qint32 child = position == 1 ? 0 : model_.DogAt(position / 2);
    if (position != 1 && child == 0) {
        prompts_.Beep();  // no record could take a parent here
        return;
    }
    state_.SexHint = position == 1 ? -1 : (position % 2 == 0 ? 1 : 0);
    dialogs_.FindDog({QStringLiteral("Place Dog"),
                      position == 1 ? kShowInstruction
                                    : QStringLiteral("Click on a dog's name place it in the "
                                                     "selected location"),
                      true});
    if (state_.SelectedDogID == 0) {
        return;
    }
    if (state_.SelectedDogID < 0) {
        AddDog(cursor_, state_, prompts_,
               [this](bool cancel_visible) { dialogs_.EditDog(cancel_visible); });
        if (state_.SelectedDogID <= 0) {
            return;
        }
    }
    const qint32 chosen = state_.SelectedDogID;

    // The chosen dog must still be there: a parent reference must never name a missing dog.
    cursor_.FindFirst(Criterion::ById(chosen));
    if (cursor_.NoMatch()) {
        refill_();
        return;
    }
    if (position == 1) {
        state_.settings.RootDogID = chosen;
        refill_();
        return;
    }
    if (RefuseOwnAncestor(chosen, child)) {
        return;
    }
    cursor_.FindFirst(Criterion::ById(child));
    if (cursor_.NoMatch()) {
        refill_();  // the chart showed a dog that has gone since: show what is there now
        return;
    }
    cursor_.Edit();
    cursor_.SetValue(position % 2 == 0 ? Field::SireID : Field::DamID, chosen);
    cursor_.Update();
    refill_();
}

bool ChartActions::RefuseOwnAncestor(qint32 chosen, qint32 child) {
    if (chosen != child && !IsAncestor(cursor_.Database(), child, chosen)) {
        return false;
    }
    cursor_.FindFirst(Criterion::ById(chosen));
    const QString chosen_name = cursor_.Text(Field::RegName);
    cursor_.FindFirst(Criterion::ById(child));
    const QString child_name = cursor_.NoMatch() ? QString() : cursor_.Text(Field::RegName);
    const QString text =
        chosen == child
            ? QStringLiteral("%1 cannot be placed here: a dog cannot be its own parent.")
                  .arg(Quoted(chosen_name))
            : QStringLiteral(
                  "%1 cannot be placed here: it descends from %2, so it cannot also "
                  "be one of %2's ancestors. Nothing was changed.")
                  .arg(Quoted(chosen_name), Quoted(child_name));
    prompts_.Message(QStringLiteral("Cannot Place Dog"), text, Prompts::Buttons::Ok,
                     Prompts::Icon::Exclamation);
    return true;
}

void ChartActions::DeleteDog(qint32 dog_id) {
    if (dog_id <= 0) {
        return;
    }
    cursor_.MoveLast();
    if (cursor_.RecordCount() == 1) {
        prompts_.Message(QStringLiteral("Last Dog Entry"),
                         QStringLiteral("You cannot delete the last dog entry.  Add another entry "
                                        "before deleting this one"),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    cursor_.FindFirst(Criterion::ById(dog_id));
    if (cursor_.NoMatch()) {
        return;
    }
    const QString name = cursor_.Text(Field::RegName);
    if (prompts_.Message(
            QStringLiteral("Delete Confirm"),
            QStringLiteral("Are you sure you want to delete ") + Quoted(name) + QLatin1Char('?'),
            Prompts::Buttons::OkCancel, Prompts::Icon::Question) != Prompts::Answer::Ok) {
        return;
    }
    RemoveDog(cursor_, dog_id);
    if (model_.Contains(dog_id)) {
        refill_();
    }
}

void ChartActions::EditDogAt(int position) {
    const qint32 dog = model_.DogAt(position);
    if (dog == 0) {
        prompts_.Beep();
        return;
    }
    state_.SelectedDogID = dog;
    dialogs_.EditDog(false);
    cursor_.Refresh();
    refill_();
}

void ChartActions::ShowLinearaOf(int position) {
    const qint32 dog = model_.DogAt(position);
    if (position == 1 || dog == 0) {
        prompts_.Beep();
        return;
    }
    state_.settings.RootDogID = dog;
    refill_();
}

void ChartActions::Prune(int position) {
    const qint32 dog = model_.DogAt(position);
    const qint32 child = model_.DogAt(position / 2);
    if (position <= 1 || dog == 0 || child == 0) {
        prompts_.Beep();
        return;
    }
    cursor_.FindFirst(Criterion::ById(dog));
    if (cursor_.NoMatch()) {
        refill_();
        return;
    }
    const QString name = cursor_.Text(Field::RegName);
    if (prompts_.Message(QStringLiteral("Prune Dog?"),
                         QStringLiteral("Are you sure you want to prune ") + name +
                             QStringLiteral(" from this place in the lineara? (") + name +
                             QStringLiteral(" will NOT be deleted from the database)"),
                         Prompts::Buttons::YesNo,
                         Prompts::Icon::Question) != Prompts::Answer::Yes) {
        return;
    }
    const Field parent = position % 2 == 0 ? Field::SireID : Field::DamID;
    cursor_.FindFirst(Criterion::ById(child));
    // Only the link the chart showed is cut; if the record has changed since, the chart is
    // simply brought up to date.
    if (!cursor_.NoMatch() && cursor_.Long(parent) == dog) {
        cursor_.Edit();
        cursor_.SetValue(parent, 0);
        cursor_.Update();
    }
    refill_();
}

void ChartActions::AddNewDog() {
    // A dog added from the menu has no place waiting for it, so no sex is preset.
    state_.SexHint = -1;
    AddDog(cursor_, state_, prompts_,
           [this](bool cancel_visible) { dialogs_.EditDog(cancel_visible); });
    if (state_.SelectedDogID > 0) {
        state_.settings.RootDogID = state_.SelectedDogID;
        refill_();
    }
}

void ChartActions::DeleteByName() {
    state_.SexHint = -1;
    dialogs_.FindDog({QStringLiteral("Delete Dog Entry"),
                      QStringLiteral("Click on a dog's name to delete"), false});
    if (state_.SelectedDogID > 0) {
        DeleteDog(state_.SelectedDogID);
    }
}

void ChartActions::FindByName() {
    state_.SexHint = -1;
    dialogs_.FindDog({QStringLiteral("Find Dog (by name)"), kShowInstruction, false});
    if (state_.SelectedDogID > 0) {
        state_.settings.RootDogID = state_.SelectedDogID;
        refill_();
    }
}

}  // namespace lineara
