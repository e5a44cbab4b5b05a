#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "store/DogSchema.h"
#include "store/RecordStore.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace lineara {

// "Dog Information": everything recorded about one dog, on seven tabs. Opened on
// state.SelectedDogID; on return SelectedDogID holds the dog the dialog ended on (another
// dog after "edit the existing record", 0 when the record was deleted).
class DogInfoForm : public QDialog {
    Q_OBJECT

public:
    DogInfoForm(AppState& state, Prompts& prompts, bool cancel_visible, QWidget* parent = nullptr);
    ~DogInfoForm() override;

    // The OK path: validate, write every box to the record and close. Also what the close
    // box and Escape do.
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    QWidget* BuildTab(int index);
    void LoadRecord();
    void SaveRecord();
    void UserChangedCheck(Field field, bool checked);
    void SexChanged(bool male_changed);
    bool DateIsValid();
    // The registered-name check; true when the dialog may close: the name is no duplicate,
    // or was already checked. After any answer to the duplicate question the user stays in
    // the dialog (or it has closed already, after Cancel).
    bool CheckName();
    void CancelNewDog();
    void Finish(int result);

    AppState& state_;
    Prompts& prompts_;
    bool editing_new_dog_;
    RecordStore dog_info_data_;   // the dog being edited
    RecordStore dog_info_data2_;  // looks for another dog of the same name

    QTabWidget* tabs_ = nullptr;
    QHash<int, QLineEdit*> texts_;
    QHash<int, QPlainTextEdit*> memos_;
    QHash<int, QCheckBox*> checks_;
    QCheckBox* female_ = nullptr;
    QLineEdit* reg_name_ = nullptr;
    QLineEdit* dob_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString checked_name_;  // the name as last checked for duplicates
    bool loading_ = false;
    bool in_validation_ = false;
    bool finished_ = false;
};

}  // namespace lineara
