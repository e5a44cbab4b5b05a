#include "inbreeding/TrialMatingForm.h"

#include "app/Prompts.h"
#include "inbreeding/InbreedingAnalysisForm.h"
#include "inbreeding/InbreedingReport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lineara {

namespace {

const QStringList kColumns = {QStringLiteral("Name of Ancestor"),
                              QStringLiteral("Percent of Blood"),
                              QStringLiteral("Earliest Generation"), QStringLiteral("# in Lineara"),
                              QStringLiteral("Contrib to Inbr Coeff")};

QString SideFigures(qint32 sire_count, int sire_value, qint32 dam_count, int dam_value) {
    return (sire_count == 0 ? QStringLiteral("-") : QString::number(sire_value)) + u':' +
           (dam_count == 0 ? QStringLiteral("-") : QString::number(dam_value));
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TrialMatingForm::TrialMatingForm(DogDatabase& database, Prompts& prompts, qint32 root,
                                 QString report_path, ChooseDog choose, ShowReport show_report,
                                 QWidget* parent)
    : QDialog(parent),
      database_(database),
      prompts_(prompts),
      report_path_(std::move(report_path)),
      show_report_(std::move(show_report)),
      // Works out the all-generations figures of the whole pedigree while the user chooses the pair.
      preparation_(std::make_unique<TrialMatingPreparation>(database)) {
    setObjectName(QStringLiteral("TrialMatingForm"));
    setWindowTitle(QStringLiteral("Trial Mating"));
    setModal(true);

    auto* intro = new QLabel(
        QStringLiteral("Choose a sire and a dam, then click on \"Calculate\" to see the "
                       "inbreeding coefficient a litter of theirs would have. Nothing is "
                       "stored."),
        this);
    intro->setWordWrap(true);

    auto* parents = new QGridLayout;
    auto add_parent = [&](int row, const QString& title, bool male) {
        auto* caption = new QLabel(title, this);
        auto* name = new QLabel(QStringLiteral("(none chosen)"), this);
        name->setObjectName(male ? QStringLiteral("SireLabel") : QStringLiteral("DamLabel"));
        name->setFrameShape(QFrame::StyledPanel);
        name->setMinimumWidth(300);
        auto* find = new QPushButton(
            male ? QStringLiteral("Find &Sire…") : QStringLiteral("Find &Dam…"), this);
        find->setObjectName(male ? QStringLiteral("FindSireButton")
                                 : QStringLiteral("FindDamButton"));
        auto* from_root = new QPushButton(QStringLiteral("Chart &Root"), this);
        if (!male) {
            from_root->setText(QStringLiteral("Chart R&oot"));
        }
        from_root->setObjectName(male ? QStringLiteral("RootSireButton")
                                      : QStringLiteral("RootDamButton"));
        from_root->setEnabled(root > 0);
        connect(find, &QPushButton::clicked, this, [this, choose, male] {
            if (const qint32 dog = choose ? choose(male) : 0; dog > 0) {
                SetParent(male, dog);
            }
        });
        connect(from_root, &QPushButton::clicked, this,
                [this, root, male] { SetParent(male, root); });
        parents->addWidget(caption, row, 0);
        parents->addWidget(name, row, 1);
        parents->addWidget(find, row, 2);
        parents->addWidget(from_root, row, 3);
        return name;
    };
    sire_label_ = add_parent(0, QStringLiteral("Sire:"), true);
    dam_label_ = add_parent(1, QStringLiteral("Dam:"), false);
    parents->setColumnStretch(1, 1);

    slider_ = AddGenerationsSlider(this, generations_label_);

    result_label_ = new QLabel(this);
    result_label_->setObjectName(QStringLiteral("ResultLabel"));
    result_label_->setAlignment(Qt::AlignCenter);
    QFont bold = result_label_->font();
    bold.setBold(true);
    result_label_->setFont(bold);

    table_ = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
    table_->setObjectName(QStringLiteral("AncestorTable"));
    table_->setHorizontalHeaderLabels(kColumns);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < table_->columnCount(); ++c) {
        table_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    table_->setMinimumHeight(200);

    calculate_ = new QPushButton(QStringLiteral("Calculate"), this);
    calculate_->setObjectName(QStringLiteral("CalculateButton"));
    calculate_->setDefault(true);
    calculate_->setEnabled(false);
    copy_ = new QPushButton(QStringLiteral("Copy &Table"), this);
    copy_->setObjectName(QStringLiteral("CopyButton"));
    copy_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(calculate_, &QPushButton::clicked, this, &TrialMatingForm::Calculate);
    connect(copy_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(TableText()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addStretch();
    buttons->addWidget(calculate_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(parents);
    layout->addSpacing(8);
    layout->addWidget(slider_);
    layout->addWidget(generations_label_);
    layout->addWidget(result_label_);
    layout->addWidget(new QLabel(QStringLiteral("Common ancestors of the pair:"), this));
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(720, 520);
}

void TrialMatingForm::SetSire(qint32 dog) {
    SetParent(true, dog);
}
void TrialMatingForm::SetDam(qint32 dog) {
    SetParent(false, dog);
}

void TrialMatingForm::SetParent(bool sire, qint32 dog) {
    QString name = RegNameOf(database_, dog).trimmed();
    if (name.isEmpty()) {
        name = QStringLiteral("(DogID %1)").arg(dog);
    }
    (sire ? sire_ : dam_) = dog;
    (sire ? sire_label_ : dam_label_)->setText(name);
    calculate_->setEnabled(sire_ > 0 && dam_ > 0);
}

void TrialMatingForm::Calculate() {
    if (sire_ <= 0 || dam_ <= 0) {
        return;
    }
    const int generations = slider_->value();
    if (generations > 15 &&
        prompts_.Message(
            QStringLiteral("Warning: Long Calculation"),
            QStringLiteral(
                "With more than 15 generations this calculation may take a VERY long time to "
                "complete (hours or even days on older computers).  Are you sure you want "
                "to continue?"),
            Prompts::Buttons::YesNo, Prompts::Icon::Exclamation) != Prompts::Answer::Yes) {
        return;
    }
    QString error;
    {
        WaitCursor wait;
        try {
            run_ = RunTrialMating(database_, sire_, dam_, generations);
            has_run_ = true;
        } catch (const StoreError& failure) {
            error = QStringLiteral("The calculation could not be done on %1: %2")
                        .arg(failure.File(), failure.Reason());
        }
        if (error.isEmpty()) {
            error = WriteReportFile(report_path_, run_.report);
            if (!error.isEmpty()) {
                error = QStringLiteral("The report could not be written to %1: %2")
                            .arg(report_path_, error);
            }
        }
    }
    if (!has_run_) {
        prompts_.Message(QStringLiteral("Trial Mating"), error, Prompts::Buttons::Ok,
                         Prompts::Icon::Exclamation);
        return;
    }
    if (show_chart_) {
        show_chart_(sire_, dam_);
    }
    const TrialMating& m = run_.mating;
    result_label_->setText(
        QStringLiteral("Inbreeding Coefficient = %1    Relationship Coefficient = %2    "
                       "All known generations = %3")
            .arg(PercentText(m.analysis.coefficient), PercentText(m.relationship),
                 PercentText(m.all_generations)));
    std::vector<AncestorEntry> common;
    for (const AncestorEntry& e :
         OrderForReport(m.analysis.ancestors, m.analysis.ancestors.size())) {
        if (e.contribution != 0) {
            common.push_back(e);
        }
    }
    table_->setRowCount(static_cast<int>(common.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const AncestorEntry& e = common[static_cast<std::size_t>(r)];
        const QString cells[] = {
            RegNameOf(database_, e.dog_id).trimmed(), PercentText(e.percent_of_blood),
            SideFigures(e.sire_side_count, e.sire_side_earliest, e.dam_side_count,
                        e.dam_side_earliest),
            QString::number(e.sire_side_count) + u':' + QString::number(e.dam_side_count),
            PercentText(e.contribution)};
        for (int c = 0; c < table_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            table_->setItem(r, c, item);
        }
    }
    copy_->setEnabled(true);
    if (!error.isEmpty()) {
        prompts_.Message(QStringLiteral("Trial Mating"), error, Prompts::Buttons::Ok,
                         Prompts::Icon::Exclamation);
    } else if (show_report_) {
        show_report_(report_path_);
    }
}

QString TrialMatingForm::TableText() const {
    QString out = kColumns.join(u'\t') + QStringLiteral("\r\n");
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c) {
            QString cell = table_->item(r, c)->text();
            cell.replace(u'\t', u' ');
            cells << cell;
        }
        out += cells.join(u'\t') + QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace lineara
