#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "chart/ChartModel.h"
#include "store/RecordStore.h"

#include <QString>

#include <functional>

namespace lineara {

// How the find-dog dialog is to be opened.
struct FindDogRequest {
    QString caption;
    QString instruction;
    bool add_visible = false;  // whether "Add New Dog" is offered
};

// The windows the chart's actions open, all modal. The desktop program opens the real
// dialogs; tests script the answers.
class DogDialogs {
public:
    virtual ~DogDialogs() = default;
    // Lets the user choose a dog by name, listing the sex state.SexHint asks for. Leaves the
    // answer in state.SelectedDogID: the dog chosen, 0 for none, -1 for "Add New Dog".
    virtual void FindDog(const FindDogRequest& request) = 0;
    // The dog editor on state.SelectedDogID, with or without its Cancel button. The editor may
    // leave another dog, or 0, in state.SelectedDogID.
    virtual void EditDog(bool cancel_visible) = 0;
};

// What a click on a chart place does.
enum class ClickResult {
    Beep,       // an empty place whose child place is empty too: nothing can stand there
    ShowPopup,  // right button on a dog
    Place,      // choose a dog for the place
};

// Left on a dog, or either button on an empty place whose child holds a dog, places a dog;
// right on a dog shows the pop-up menu; an empty place with an empty child only beeps. The
// root's place has no child, so a left click there always places, and so does a right click
// while it is empty (a database without dogs), since there is no dog for the menu to act on.
// Places outside 1..127 beep.
ClickResult DecideClick(const ChartModel& model, int position, bool right_button);

// The operations by which the user edits the family tree from the chart and the Edit menu.
// They work on the main window's cursor and the chart as last filled, and call `refill`
// (fill the chart again and redraw it) after every change. Database errors propagate as
// exceptions, for the window's command guard to show.
class ChartActions {
public:
    ChartActions(RecordStore& cursor, AppState& state, Prompts& prompts, DogDialogs& dialogs,
                 ChartModel& model, std::function<void()> refill);

    // Lets the user choose (or add) a dog and puts it in the place: it becomes the sire (even
    // places) or dam (odd places) of the dog in the child place, or the root for place 1.
    // Refuses a dog that would become its own ancestor there.
    void PlaceDog(int position);
    // Deletes the dog after confirmation, clearing every parent reference to it. The last dog
    // of a database cannot be deleted.
    void DeleteDog(qint32 dog_id);

    // The pop-up menu of a chart place.
    void EditDogAt(int position);      // "Edit this dog's information"
    void ShowLinearaOf(int position);  // "Show this dog's lineara"
    void Prune(int position);          // "Prune this dog from this lineara"

    // The Edit menu.
    void AddNewDog();     // "Add New Dog": the new dog becomes the root
    void DeleteByName();  // "Delete Dog"
    void FindByName();    // "Find Dog (by name)": the dog chosen becomes the root

private:
    // True (after telling the user) when `chosen` is `child` or one of its descendants.
    bool RefuseOwnAncestor(qint32 chosen, qint32 child);

    RecordStore& cursor_;
    AppState& state_;
    Prompts& prompts_;
    DogDialogs& dialogs_;
    ChartModel& model_;
    std::function<void()> refill_;
};

}  // namespace lineara
