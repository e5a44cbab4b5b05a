#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "records/FindDogSearch.h"
#include "store/RecordStore.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

namespace lineara {

class FoundDogsModel;

// Picks one dog by part of its registered name. The caller sets the caption, the
// instruction and whether "Add New Dog" is offered; the answer is left in
// state.SelectedDogID: a DogID, 0 for nothing, -1 for "add a new dog".
class FindDogForm : public QDialog {
    Q_OBJECT

public:
    FindDogForm(AppState& state, Prompts& prompts, const QString& caption, const QString& instruction,
                bool add_visible, QWidget* parent = nullptr);
    ~FindDogForm() override;

    // The Find button.
    void RunFind();
    // The search run as the user types, about 150 ms after the last key press (tests wait for
    // it with WaitForTypedSearch and then let queued events run).
    void WaitForTypedSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(const QModelIndex& index);
    void TextEdited(const QString& text);
    void StartTypedSearch();
    void ShowResult(FindDogResult result);
    void UpdateColumns();

    AppState& state_;
    Prompts& prompts_;
    RecordStore dog_info_data_;
    QLineEdit* text_to_find_ = nullptr;
    QListView* dog_list_ = nullptr;
    FoundDogsModel* model_ = nullptr;
    QLabel* instruction_ = nullptr;
    QLabel* count_ = nullptr;
    QTimer* typing_pause_ = nullptr;
    std::unique_ptr<BackgroundDogSearch> background_;
};

}  // namespace lineara
