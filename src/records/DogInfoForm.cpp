#include "records/DogInfoForm.h"

#include "records/DateOfBirth.h"
#include "records/DogEditorLayout.h"
#include "records/DogRemoval.h"
#include "records/DuplicateName.h"
#include "records/TitleLadders.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <bitset>

namespace lineara {

namespace {

// Memo fields keep the CR LF line ends of every other text the program writes.
QString MemoToStore(const QString& text) {
    QString stored = text;
    stored.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    stored.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return stored;
}

QString MemoToShow(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

}  // namespace

DogInfoForm::DogInfoForm(AppState& state, Prompts& prompts, bool cancel_visible, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts), editing_new_dog_(cancel_visible) {
    setObjectName(QStringLiteral("DogInfoForm"));
    setWindowTitle(QStringLiteral("Dog Information"));
    dog_info_data_.Open(state_.DatabasePath());
    dog_info_data_.FindFirst(Criterion::ById(state_.SelectedDogID));
    dog_info_data2_.Open(state_.DatabasePath());
    Build();
    cancel_->setVisible(cancel_visible);
    LoadRecord();

    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    reg_name_->setFocus();
}

DogInfoForm::~DogInfoForm() = default;

void DogInfoForm::Build() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    const auto& tabs = DogEditorTabs();
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
        tabs_->addTab(BuildTab(i), QString::fromUtf8(tabs[static_cast<std::size_t>(i)].title));
    }

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &DogInfoForm::accept);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &DogInfoForm::CancelNewDog);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
}

QWidget* DogInfoForm::BuildTab(int index) {
    const EditorTab& tab = DogEditorTabs()[static_cast<std::size_t>(index)];
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabStripFrame%1").arg(index + 1));
    const int text_width = fontMetrics().averageCharWidth() * 46;

    // Controls follow the table's reading order: text boxes line up in a form, check boxes
    // stack below one another, and headed frames sit two to a row.
    auto* page_layout = new QVBoxLayout(page);
    QFormLayout* form = nullptr;
    const auto current_form = [&] {
        if (!form) {
            form = new QFormLayout;
            form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
            form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
            page_layout->addLayout(form);
        }
        return form;
    };
    QGridLayout* frames = nullptr;
    QVBoxLayout* target = nullptr;  // where check boxes go: the current frame, or the page
    int frame_count = 0;
    QHBoxLayout* sex_row = nullptr;

    for (const EditorControl& control : tab.controls) {
        const QString name = QString::fromLatin1(control.name);
        const QString caption = QString::fromUtf8(control.caption);
        switch (control.kind) {
            case EditorControl::Kind::Heading: {
                if (!frames) {
                    frames = new QGridLayout;
                    page_layout->addLayout(frames);
                }
                auto* box = new QGroupBox(caption, page);
                box->setObjectName(name);
                target = new QVBoxLayout(box);
                frames->addWidget(box, frame_count / 2, frame_count % 2, Qt::AlignTop);
                ++frame_count;
                break;
            }
            case EditorControl::Kind::Text:
            case EditorControl::Kind::Memo: {
                QWidget* editor = nullptr;
                if (control.kind == EditorControl::Kind::Text) {
                    auto* line = new QLineEdit(page);
                    // A date is typed in many forms; the stored date itself has no text size.
                    const int limit = MaxLengthOf(*control.field);
                    line->setMaxLength(limit > 0 ? limit : 40);
                    line->setMinimumWidth(text_width);
                    texts_.insert(IndexOf(*control.field), line);
                    editor = line;
                } else {
                    auto* memo = new QPlainTextEdit(page);
                    memo->setTabChangesFocus(true);
                    memo->setMinimumWidth(text_width);
                    memo->setFixedHeight(fontMetrics().lineSpacing() * 5);
                    const int limit = MaxLengthOf(*control.field);
                    connect(memo, &QPlainTextEdit::textChanged, memo, [memo, limit] {
                        if (memo->toPlainText().size() > limit) {
                            memo->setPlainText(memo->toPlainText().left(limit));
                            memo->moveCursor(QTextCursor::End);
                        }
                    });
                    memos_.insert(IndexOf(*control.field), memo);
                    editor = memo;
                }
                editor->setObjectName(name);
                auto* label = new QLabel(caption, page);
                label->setObjectName(name + QStringLiteral("Label"));
                label->setBuddy(editor);
                if (control.tool_tip) {
                    editor->setToolTip(QString::fromUtf8(control.tool_tip));
                    label->setToolTip(editor->toolTip());
                }
                if (target) {
                    target->addWidget(label);
                    target->addWidget(editor);
                } else {
                    current_form()->addRow(label, editor);
                }
                break;
            }
            case EditorControl::Kind::Note: {
                auto* note = new QLabel(caption, page);
                note->setObjectName(name);
                note->setEnabled(false);
                if (target) {
                    target->addWidget(note);
                } else {
                    current_form()->addRow(QString(), note);
                }
                break;
            }
            case EditorControl::Kind::Check: {
                auto* box = new QCheckBox(caption, page);
                box->setObjectName(name);
                if (control.field) {
                    const Field field = *control.field;
                    checks_.insert(IndexOf(field), box);
                    connect(box, &QCheckBox::toggled, this, [this, field](bool on) { UserChangedCheck(field, on); });
                } else {
                    female_ = box;
                    connect(box, &QCheckBox::toggled, this, [this] { SexChanged(false); });
                }
                if (name == QLatin1String("MaleCheck") || name == QLatin1String("FemaleCheck") ||
                    name == QLatin1String("Check1")) {
                    // Male, Female and Altered share one row of the form.
                    if (!sex_row) {
                        sex_row = new QHBoxLayout;
                        sex_row->setSpacing(fontMetrics().averageCharWidth() * 3);
                        current_form()->addRow(QString(), sex_row);
                    }
                    sex_row->addWidget(box);
                    if (name == QLatin1String("Check1")) {
                        sex_row->addStretch();
                    }
                } else if (target) {
                    target->addWidget(box);
                } else {
                    form = nullptr;  // text boxes after this start a form of their own
                    page_layout->addWidget(box);
                }
                break;
            }
        }
    }
    page_layout->addStretch();
    return page;
}

void DogInfoForm::LoadRecord() {
    loading_ = true;
    const bool found = !dog_info_data_.NoMatch() && dog_info_data_.HasCurrent() &&
                       dog_info_data_.DogID() == state_.SelectedDogID;
    const DogRecord record = found ? dog_info_data_.Record() : DogRecord();
    for (auto it = texts_.begin(); it != texts_.end(); ++it) {
        const Field field = FieldAt(it.key());
        it.value()->setText(field == Field::DOB ? FormatDateOfBirth(record.Date(field)) : record.Text(field));
    }
    for (auto it = memos_.begin(); it != memos_.end(); ++it) {
        it.value()->setPlainText(MemoToShow(record.Text(FieldAt(it.key()))));
    }
    for (auto it = checks_.begin(); it != checks_.end(); ++it) {
        it.value()->setChecked(record.Flag(FieldAt(it.key())));
    }
    female_->setChecked(!checks_.value(IndexOf(Field::SexMale))->isChecked());
    reg_name_ = texts_.value(IndexOf(Field::RegName));
    dob_ = texts_.value(IndexOf(Field::DOB));
    reg_name_->installEventFilter(this);
    dob_->installEventFilter(this);
    checked_name_ = reg_name_->text().trimmed();
    tabs_->setCurrentIndex(0);
    loading_ = false;
}

void DogInfoForm::UserChangedCheck(Field field, bool checked) {
    if (loading_) {
        return;
    }
    if (field == Field::SexMale) {
        SexChanged(true);
        return;
    }
    std::bitset<kFieldCount> state;
    for (auto it = checks_.begin(); it != checks_.end(); ++it) {
        state.set(static_cast<std::size_t>(it.key()), it.value()->isChecked());
    }
    ApplyTitleLadder(field, checked, state);
    // The boxes the rule changed must not apply their own rules in turn: the table already
    // gives the whole result.
    loading_ = true;
    for (auto it = checks_.begin(); it != checks_.end(); ++it) {
        it.value()->setChecked(state.test(static_cast<std::size_t>(it.key())));
    }
    loading_ = false;
}

void DogInfoForm::SexChanged(bool male_changed) {
    if (loading_) {
        return;
    }
    QCheckBox* male = checks_.value(IndexOf(Field::SexMale));
    loading_ = true;
    if (male_changed) {
        female_->setChecked(!male->isChecked());
    } else {
        male->setChecked(!female_->isChecked());
    }
    loading_ = false;
}

bool DogInfoForm::DateIsValid() {
    if (ParseDateOfBirth(dob_->text()).valid) {
        return true;
    }
    if (!in_validation_) {
        in_validation_ = true;
        prompts_.Message(kInvalidDateTitle, kInvalidDateText, Prompts::Buttons::Ok);
        in_validation_ = false;
    }
    tabs_->setCurrentIndex(0);
    dob_->setFocus();
    dob_->selectAll();
    return false;
}

bool DogInfoForm::CheckName() {
    const QString name = reg_name_->text().trimmed();
    if (name == checked_name_ || in_validation_) {
        return true;
    }
    checked_name_ = name;
    in_validation_ = true;
    const DuplicateOutcome outcome =
        CheckDuplicateName(dog_info_data2_, state_.SelectedDogID, editing_new_dog_, name, prompts_, state_);
    in_validation_ = false;
    switch (outcome.kind) {
        case DuplicateOutcome::NoDuplicate:
            return true;
        case DuplicateOutcome::KeepEditing:
            tabs_->setCurrentIndex(0);
            reg_name_->setFocus();
            return false;
        case DuplicateOutcome::DeletedAndClosed:
            Finish(QDialog::Rejected);
            return false;
        case DuplicateOutcome::EditExisting:
            // The record that was being edited is gone; carry on with the existing dog. Its
            // deletion cannot be cancelled any more, so neither can this dog.
            editing_new_dog_ = false;
            cancel_->setVisible(false);
            dog_info_data_.Refresh();
            dog_info_data2_.Refresh();
            dog_info_data_.FindFirst(Criterion::ById(state_.SelectedDogID));
            LoadRecord();
            reg_name_->setFocus();
            return false;
    }
    return true;
}

bool DogInfoForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !finished_ && !in_validation_) {
        if (watched == dob_) {
            // Keep the user in the box until the date is cleared or corrected.
            QTimer::singleShot(0, this, [this] {
                if (!finished_ && !in_validation_ && !dob_->hasFocus()) {
                    DateIsValid();
                }
            });
        } else if (watched == reg_name_) {
            QTimer::singleShot(0, this, [this] {
                if (!finished_) {
                    CheckName();
                }
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DogInfoForm::SaveRecord() {
    dog_info_data_.Refresh();
    dog_info_data_.FindFirst(Criterion::ById(state_.SelectedDogID));
    if (dog_info_data_.NoMatch()) {
        return;
    }
    dog_info_data_.Edit();
    for (auto it = texts_.begin(); it != texts_.end(); ++it) {
        const Field field = FieldAt(it.key());
        if (field == Field::DOB) {
            const DateEntry entry = ParseDateOfBirth(it.value()->text());
            dog_info_data_.SetValue(field, entry.date.isValid() ? QVariant(entry.date) : QVariant());
        } else {
            dog_info_data_.SetValue(field, it.value()->text());
        }
    }
    for (auto it = memos_.begin(); it != memos_.end(); ++it) {
        dog_info_data_.SetValue(FieldAt(it.key()), MemoToStore(it.value()->toPlainText()));
    }
    for (auto it = checks_.begin(); it != checks_.end(); ++it) {
        dog_info_data_.SetValue(FieldAt(it.key()), it.value()->isChecked());
    }
    dog_info_data_.Update();
}

void DogInfoForm::accept() {
    if (finished_) {
        return;
    }
    if (!DateIsValid()) {
        return;
    }
    if (!CheckName()) {
        return;
    }
    try {
        SaveRecord();
    } catch (const std::exception& error) {
        prompts_.Message(QStringLiteral("Dog Not Saved"),
                         QStringLiteral("The changes to this dog could not be saved:\n%1")
                             .arg(QString::fromUtf8(error.what())),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    Finish(QDialog::Accepted);
}

void DogInfoForm::reject() { accept(); }

void DogInfoForm::closeEvent(QCloseEvent* event) {
    if (finished_) {
        event->accept();
        return;
    }
    event->ignore();
    accept();
}

void DogInfoForm::CancelNewDog() {
    const auto answer = prompts_.Message(
        QStringLiteral("Cancel New Dog"),
        QStringLiteral("Are you sure you want to cancel adding this dog?  This record will be lost."),
        Prompts::Buttons::YesNo);
    if (answer != Prompts::Answer::Yes) {
        return;
    }
    RemoveDog(dog_info_data_, state_.SelectedDogID);
    state_.SelectedDogID = 0;
    Finish(QDialog::Rejected);
}

void DogInfoForm::Finish(int result) {
    finished_ = true;
    QDialog::done(result);
}

}  // namespace lineara
