#pragma once

#include "analysis/Ancestry.h"
#include "app/AppState.h"

#include <QDialog>

#include <vector>

class QListWidget;

namespace lineara {

// The Siblings and Offspring dialogs: a heading, one or two lists of registered names in
// columns, the hint and "E&xit". A click (or Enter) on a dog leaves its DogID in
// SelectedDogID and closes the dialog; "(none in database)" and Exit leave 0.
class DogListForm : public QDialog {
public:
    struct List {
        QString object_name;
        QString label_name;
        QString caption;
        std::vector<ListedDog> dogs;
    };
    DogListForm(AppState& state, const QString& object_name, const QString& caption, const QString& heading,
                std::vector<List> lists, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateColumns();
    AppState& state_;
    std::vector<QListWidget*> lists_;
};

// SiblingsForm ("Siblings") and OffspringForm ("Offspring").
DogListForm* MakeSiblingsForm(AppState& state, const QString& root_name, SiblingLists lists, QWidget* parent);
DogListForm* MakeOffspringForm(AppState& state, const QString& root_name, std::vector<ListedDog> offspring,
                               QWidget* parent);

}  // namespace lineara
