#include "analysis/DogListForm.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace lineara {

namespace {

constexpr int kColumnTwips = 3000;
const QString kNone = QStringLiteral("(none in database)");

}  // namespace

DogListForm::DogListForm(AppState& state, const QString& object_name, const QString& caption,
                         const QString& heading, std::vector<List> lists, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(object_name);
    setWindowTitle(caption);
    state_.SelectedDogID = 0;

    auto* heading_label = new QLabel(heading, this);
    heading_label->setObjectName(QStringLiteral("DogNameLabel"));
    heading_label->setAlignment(Qt::AlignCenter);
    auto* grid = new QGridLayout;
    int column = 0;
    for (List& list : lists) {
        auto* label = new QLabel(list.caption, this);
        label->setObjectName(list.label_name);
        auto* widget = new QListWidget(this);
        widget->setObjectName(list.object_name);
        widget->setFlow(QListView::TopToBottom);
        widget->setWrapping(true);
        widget->setResizeMode(QListView::Adjust);
        widget->setUniformItemSizes(true);
        widget->setTextElideMode(Qt::ElideRight);
        if (list.dogs.empty()) {
            list.dogs.push_back({0, kNone});
        }
        for (const ListedDog& dog : list.dogs) {
            auto* item = new QListWidgetItem(dog.reg_name, widget);
            item->setData(Qt::UserRole, dog.dog_id);
            item->setToolTip(dog.reg_name);
        }
        widget->setCurrentRow(0);
        widget->viewport()->installEventFilter(this);
        const auto choose = [this](QListWidgetItem* item) {
            if (!item) return;
            state_.SelectedDogID = item->data(Qt::UserRole).toInt();
            done(state_.SelectedDogID != 0 ? QDialog::Accepted : QDialog::Rejected);
        };
        connect(widget, &QListWidget::itemClicked, this, choose);
        connect(widget, &QListWidget::itemActivated, this, choose);
        grid->addWidget(label, 0, column);
        grid->addWidget(widget, 1, column);
        grid->setColumnStretch(column, 1);
        lists_.push_back(widget);
        ++column;
    }
    auto* hint = new QLabel(QStringLiteral("Click on a dog's name to show it's lineara"), this);
    hint->setObjectName(QStringLiteral("Label2"));
    hint->setAlignment(Qt::AlignCenter);
    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("ExitButton"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, [this] {
        state_.SelectedDogID = 0;
        done(QDialog::Rejected);
    });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_label);
    layout->addLayout(grid, 1);
    layout->addWidget(hint);
    layout->addLayout(bottom);

    // Never smaller than 4000 by 3000 twips, and wide enough for the heading and the hint.
    const int dpi = logicalDpiX();
    const int text_width = std::max(heading_label->sizeHint().width(), hint->sizeHint().width());
    const int min_width = std::max(4000 * dpi / 1440, text_width + 400 * dpi / 1440);
    setMinimumSize(min_width, 3000 * logicalDpiY() / 1440);
    resize(std::max(min_width, fontMetrics().averageCharWidth() * 100), fontMetrics().lineSpacing() * 24);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    lists_.front()->setFocus();
}

void DogListForm::UpdateColumns() {
    // Every list takes the number of columns that fits the first: its width over 3000 twips.
    const int twips = lists_.front()->viewport()->width() * 1440 / std::max(1, logicalDpiX());
    const int columns = std::max(1, twips / kColumnTwips);
    for (QListWidget* list : lists_) {
        const int width = list->viewport()->width() - 1;
        list->setGridSize(QSize(std::max(1, width / columns), fontMetrics().lineSpacing() + 4));
    }
}

bool DogListForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        UpdateColumns();
    }
    return QDialog::eventFilter(watched, event);
}

DogListForm* MakeSiblingsForm(AppState& state, const QString& root_name, SiblingLists lists, QWidget* parent) {
    std::vector<DogListForm::List> shown;
    shown.push_back({QStringLiteral("FullSiblingsList"), QStringLiteral("FullSiblingsLabel"),
                     QStringLiteral("Full Siblings"), std::move(lists.full)});
    shown.push_back({QStringLiteral("HalfSiblingsList"), QStringLiteral("HalfSiblingsLabel"),
                     QStringLiteral("Half Siblings"), std::move(lists.half)});
    return new DogListForm(state, QStringLiteral("SiblingsForm"), QStringLiteral("Siblings"),
                           QStringLiteral("Siblings of ") + root_name, std::move(shown), parent);
}

DogListForm* MakeOffspringForm(AppState& state, const QString& root_name, std::vector<ListedDog> offspring,
                               QWidget* parent) {
    std::vector<DogListForm::List> shown;
    shown.push_back({QStringLiteral("OffspringList"), QString(), QString(), std::move(offspring)});
    return new DogListForm(state, QStringLiteral("OffspringForm"), QStringLiteral("Offspring"),
                           QStringLiteral("Offspring of ") + root_name, std::move(shown), parent);
}

}  // namespace lineara
