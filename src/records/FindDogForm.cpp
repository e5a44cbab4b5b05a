#include "records/FindDogForm.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace lineara {

// The result list: names shown, DogIDs carried as item data. A model rather than list items,
// so that a search matching half a studbook still fills the list at once.
class FoundDogsModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(std::vector<FoundDog> dogs) {
        beginResetModel();
        dogs_ = std::move(dogs);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(dogs_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        const FoundDog& dog = dogs_[static_cast<std::size_t>(index.row())];
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            return dog.reg_name;
        }
        if (role == Qt::UserRole) {
            return dog.dog_id;
        }
        return {};
    }

private:
    std::vector<FoundDog> dogs_;
};

namespace {

// Width of one list column: 3000 twips, as many columns as fit, at least one.
constexpr int kColumnTwips = 3000;

}  // namespace

FindDogForm::FindDogForm(AppState& state, Prompts& prompts, const QString& caption, const QString& instruction,
                         bool add_visible, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
    setObjectName(QStringLiteral("FindDogForm"));
    setWindowTitle(caption);
    state_.SelectedDogID = 0;
    dog_info_data_.Open(state_.DatabasePath());

    auto* label = new QLabel(QStringLiteral("Enter the text to search for, then press the \"Find\" button."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);

    text_to_find_ = new QLineEdit(this);
    text_to_find_->setObjectName(QStringLiteral("TextToFind"));
    text_to_find_->setMaxLength(kTextFieldSize);
    connect(text_to_find_, &QLineEdit::returnPressed, this, &FindDogForm::RunFind);
    connect(text_to_find_, &QLineEdit::textEdited, this, &FindDogForm::TextEdited);
    background_ = std::make_unique<BackgroundDogSearch>(dog_info_data_.Path());
    typing_pause_ = new QTimer(this);
    typing_pause_->setSingleShot(true);
    typing_pause_->setInterval(150);
    connect(typing_pause_, &QTimer::timeout, this, &FindDogForm::StartTypedSearch);

    auto* find = new QPushButton(QStringLiteral("&Find"), this);
    find->setObjectName(QStringLiteral("FindButton"));
    connect(find, &QPushButton::clicked, this, &FindDogForm::RunFind);

    instruction_ = new QLabel(instruction, this);
    instruction_->setObjectName(QStringLiteral("InstructionLabel"));
    instruction_->setAlignment(Qt::AlignCenter);
    instruction_->setVisible(false);

    model_ = new FoundDogsModel(this);
    dog_list_ = new QListView(this);
    dog_list_->setObjectName(QStringLiteral("DogList"));
    dog_list_->setModel(model_);
    dog_list_->setFlow(QListView::TopToBottom);
    dog_list_->setWrapping(true);
    dog_list_->setResizeMode(QListView::Adjust);
    dog_list_->setUniformItemSizes(true);
    dog_list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dog_list_->setSelectionMode(QAbstractItemView::SingleSelection);
    dog_list_->setTextElideMode(Qt::ElideRight);
    dog_list_->viewport()->installEventFilter(this);
    connect(dog_list_, &QListView::clicked, this, &FindDogForm::Choose);
    connect(dog_list_, &QListView::activated, this, &FindDogForm::Choose);

    auto* add = new QPushButton(QStringLiteral("&Add New Dog"), this);
    add->setObjectName(QStringLiteral("AddDogButton"));
    add->setVisible(add_visible);
    connect(add, &QPushButton::clicked, this, [this] {
        state_.SelectedDogID = -1;
        done(QDialog::Accepted);
    });
    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("ExitButton"));
    connect(exit, &QPushButton::clicked, this, [this] {
        state_.SelectedDogID = 0;
        done(QDialog::Rejected);
    });
    // Enter belongs to the search box and the list, never to a button.
    for (QPushButton* button : {find, add, exit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("NumDogsLabel"));
    count_->setAlignment(Qt::AlignCenter);
    count_->setVisible(false);

    auto* search_row = new QHBoxLayout;
    search_row->addWidget(text_to_find_, 1);
    search_row->addWidget(find);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(add);
    bottom->addWidget(count_, 1);
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(search_row);
    layout->addWidget(instruction_);
    layout->addWidget(dog_list_, 1);
    layout->addLayout(bottom);

    // Never smaller than 4000 by 3000 twips, and wide enough for both texts.
    const int dpi = logicalDpiX();
    const int min_width = std::max({4000 * dpi / 1440, label->sizeHint().width() + 400 * dpi / 1440,
                                    instruction_->sizeHint().width() + 400 * dpi / 1440});
    setMinimumSize(min_width, 3000 * logicalDpiY() / 1440);
    resize(std::max(min_width, fontMetrics().averageCharWidth() * 110), fontMetrics().lineSpacing() * 30);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    text_to_find_->setFocus();
}

FindDogForm::~FindDogForm() {
    // Stops any search still running before the window it would report to goes away.
    background_.reset();
}

void FindDogForm::TextEdited(const QString& text) {
    background_->Supersede();
    if (text.trimmed().isEmpty()) {
        // Nothing to search for: the list empties at once.
        typing_pause_->stop();
        model_->Reset({});
        instruction_->setVisible(false);
        count_->setVisible(false);
        return;
    }
    typing_pause_->start();
}

void FindDogForm::StartTypedSearch() {
    background_->Start(this, text_to_find_->text(), state_.SexHint,
                       [this](FindDogResult result) { ShowResult(std::move(result)); });
}

void FindDogForm::WaitForTypedSearch() {
    if (typing_pause_->isActive()) {
        typing_pause_->stop();
        StartTypedSearch();
    }
    background_->Wait();
}

void FindDogForm::RunFind() {
    if (text_to_find_->text().isEmpty()) {
        return;
    }
    // Find answers now; a search started by typing has nothing more to say.
    typing_pause_->stop();
    background_->Supersede();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FindDogResult result;
    try {
        result = FindDogs(dog_info_data_, text_to_find_->text(), state_.SexHint);
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        prompts_.Message(QStringLiteral("Database Error"),
                         QStringLiteral("The search could not be completed:\n%1").arg(QString::fromUtf8(error.what())),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    ShowResult(std::move(result));
    QApplication::restoreOverrideCursor();
}

void FindDogForm::ShowResult(FindDogResult result) {
    model_->Reset(std::move(result.dogs));
    if (model_->rowCount() > 0) {
        instruction_->setVisible(true);
        dog_list_->setCurrentIndex(model_->index(0));
    }
    count_->setText(result.count_text);
    count_->setVisible(true);
}

void FindDogForm::Choose(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    state_.SelectedDogID = index.data(Qt::UserRole).toInt();
    done(state_.SelectedDogID != 0 ? QDialog::Accepted : QDialog::Rejected);
}

void FindDogForm::UpdateColumns() {
    const int width = dog_list_->viewport()->width() - 1;
    const int twips = width * 1440 / std::max(1, logicalDpiX());
    const int columns = std::max(1, twips / kColumnTwips);
    dog_list_->setGridSize(QSize(width / columns, fontMetrics().lineSpacing() + 4));
}

bool FindDogForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dog_list_->viewport() && event->type() == QEvent::Resize) {
        UpdateColumns();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace lineara
