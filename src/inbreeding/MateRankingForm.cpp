#include "inbreeding/MateRankingForm.h"

#include "analysis/Ancestry.h"
#include "app/Prompts.h"
#include "app/TrimBlanks.h"
#include "inbreeding/InbreedingAnalysisForm.h"
#include "inbreeding/InbreedingReport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lineara {

namespace {

const QString kCaption = QStringLiteral("Best Sires for This Dam");

}  // namespace

MateRankingForm::MateRankingForm(DogDatabase& database, Prompts& prompts, qint32 root, ChooseDam choose,
                                 OpenTrialMating open_trial, QWidget* parent)
    : CancellableWorkDialog(QStringLiteral("Close"), parent), database_(database), prompts_(prompts), open_trial_(std::move(open_trial)) {
    setObjectName(QStringLiteral("MateRankingForm"));
    setWindowTitle(kCaption);
    setModal(true);
    dam_label_ = new QLabel(this);
    dam_label_->setObjectName(QStringLiteral("DamLabel"));
    dam_label_->setTextFormat(Qt::PlainText);
    auto* find_dam = new QPushButton(QStringLiteral("Find &Dam…"), this);
    find_dam->setObjectName(QStringLiteral("FindDamButton"));
    auto* root_dam = new QPushButton(QStringLiteral("Chart &Root"), this);
    root_dam->setObjectName(QStringLiteral("RootDamButton"));
    connect(find_dam, &QPushButton::clicked, this, [this, choose = std::move(choose)] {
        if (const qint32 dog = choose ? choose() : 0; dog > 0) SetDam(dog);
    });
    connect(root_dam, &QPushButton::clicked, this, [this, root] { SetDam(root); });
    slider_ = AddGenerationsSlider(this, generations_label_);
    all_males_ = new QCheckBox(
        QStringLiteral("&Every male (not only those with offspring or born in the last twelve years)"), this);
    all_males_->setObjectName(QStringLiteral("AllMalesCheck"));
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("FindBox"));
    find_->setPlaceholderText(QStringLiteral("Part of a name"));
    find_->setClearButtonEnabled(true);
    connect(find_, &QLineEdit::textChanged, this, &MateRankingForm::ApplyFilter);
    auto* find_label = new QLabel(QStringLiteral("F&ind:"), this);
    find_label->setBuddy(find_);

    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("SiresTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Sire"), QStringLiteral("Inbreeding Coefficient"), QStringLiteral("Relationship")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table_->setToolTip(QStringLiteral("Double-click a sire to see the trial mating"));
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (const qint32 sire = SireOnRow(row); sire > 0 && open_trial_) open_trial_(sire, dam_);
    });

    calculate_ = new QPushButton(QStringLiteral("&Calculate"), this);
    calculate_->setObjectName(QStringLiteral("CalculateButton"));
    calculate_->setDefault(true);
    connect(calculate_, &QPushButton::clicked, this, &MateRankingForm::Calculate);

    auto* dam_row = new QHBoxLayout;
    dam_row->addWidget(dam_label_, 1);
    dam_row->addWidget(find_dam);
    dam_row->addWidget(root_dam);
    auto* find_row = new QHBoxLayout;
    find_row->addWidget(find_label);
    find_row->addWidget(find_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(calculate_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dam_row);
    layout->addWidget(slider_);
    layout->addWidget(generations_label_);
    layout->addWidget(all_males_);
    layout->addLayout(find_row);
    layout->addWidget(table_, 1);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    resize(620, 560);
    // The chart's root is the dam unless it is a male.
    const std::optional<DogRecord> at_root = root > 0 ? database_.ReadRow(root) : std::nullopt;
    const bool female_root = at_root && !at_root->Value(Field::SexMale).toBool();
    root_dam->setEnabled(female_root);
    if (!female_root) root_dam->setToolTip(QStringLiteral("The dog at the chart's root is not a bitch"));
    SetDam(female_root ? root : 0);
    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MateRankingForm::SetDam(qint32 dog) {
    dam_ = dog > 0 && database_.ReadRow(dog) ? dog : 0;
    dam_label_->setText(dam_ > 0 ? QStringLiteral("Dam: ") + TrimBlanks(RegNameOf(database_, dam_))
                                 : QStringLiteral("Dam: (choose a dam)"));
    calculate_->setEnabled(dam_ > 0);
}

qint32 MateRankingForm::SireOnRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < shown_.size() ? shown_[static_cast<std::size_t>(row)].sire.dog_id
                                                                      : 0;
}

void MateRankingForm::Add(const RankedSire& line) {
    // Kept in ranked order as the results come.
    const auto at = std::upper_bound(shown_.begin(), shown_.end(), line, RanksBefore);
    const int row = static_cast<int>(at - shown_.begin());
    shown_.insert(at, line);
    table_->insertRow(row);
    table_->setItem(row, 0, new QTableWidgetItem(line.sire.name));
    for (const auto& [column, value] : {std::pair{1, line.coefficient}, std::pair{2, line.relationship}}) {
        auto* item = new QTableWidgetItem(PercentText(value));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, column, item);
    }
    const QString wanted = find_->text().trimmed();
    table_->setRowHidden(row, !wanted.isEmpty() && !line.sire.name.contains(wanted, Qt::CaseInsensitive));
}

void MateRankingForm::ApplyFilter() {
    const QString wanted = find_->text().trimmed();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        table_->setRowHidden(static_cast<int>(i),
                             !wanted.isEmpty() && !shown_[i].sire.name.contains(wanted, Qt::CaseInsensitive));
    }
}

void MateRankingForm::Calculate() {
    if (dam_ <= 0) return;
    BeginWork();
    for (QWidget* w : std::initializer_list<QWidget*>{slider_, all_males_, calculate_}) w->setEnabled(false);
    shown_.clear();
    table_->setRowCount(0);
    std::optional<std::vector<RankedSire>> ranked;
    QString failure;
    try {
        SetText(QStringLiteral("Reading the pedigree…"));
        SetFraction(0);
        const PedigreeTable table = ReadPedigreeTable(database_);
        const std::vector<SireCandidate> candidates = SireCandidates(database_, dam_, all_males_->isChecked());
        SetText(QStringLiteral("Working through %1 sires…").arg(candidates.size()));
        ranked = RankSires(table, dam_, candidates, slider_->value(), *this,
                           [this](const RankedSire& line) { Add(line); });
    } catch (const StoreError& error) {
        failure = QStringLiteral("The sires could not be ranked on %1: %2").arg(error.File(), error.Reason());
    }
    EndWork();
    for (QWidget* w : std::initializer_list<QWidget*>{slider_, all_males_, calculate_}) w->setEnabled(true);
    if (!failure.isEmpty()) {
        SetText(QString());
        prompts_.Message(kCaption, failure, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    table_->scrollToTop();
    SetText(ranked ? QStringLiteral("%1 sires, lowest coefficient first").arg(shown_.size())
                   : QStringLiteral("Stopped after %1 sires").arg(shown_.size()));
}

}  // namespace lineara
