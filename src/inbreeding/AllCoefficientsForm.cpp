#include "inbreeding/AllCoefficientsForm.h"

#include "app/Prompts.h"
#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/InbreedingAnalysisForm.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

namespace lineara {

namespace {

const QString kCaption = QStringLiteral("Inbreeding Coefficients for All Dogs");

}  // namespace

AllCoefficientsForm::AllCoefficientsForm(DogDatabase& database, Prompts& prompts, QWidget* parent)
    : CancellableWorkDialog(QStringLiteral("Cancel"), parent), database_(database), prompts_(prompts) {
    setObjectName(QStringLiteral("AllCoefficientsForm"));
    setWindowTitle(kCaption);
    setModal(true);
    auto* intro = new QLabel(
        QStringLiteral("Calculates the inbreeding coefficient of every dog in the database and stores it with "
                       "the dog, replacing the coefficients stored before. Choose the number of generations, or "
                       "all known generations, then click on \"Calculate\". Cancel stops the calculation and "
                       "leaves every stored coefficient as it was."),
        this);
    intro->setObjectName(QStringLiteral("MainLabel"));
    intro->setWordWrap(true);
    slider_ = AddGenerationsSlider(this, generations_label_);
    all_generations_ = new QCheckBox(QStringLiteral("&All known generations"), this);
    all_generations_->setObjectName(QStringLiteral("AllGenerationsCheck"));
    all_generations_->setToolTip(
        QStringLiteral("Every known ancestor, however far back (the textbook coefficient of the whole pedigree)"));
    connect(all_generations_, &QCheckBox::toggled, this, [this](bool all) {
        slider_->setEnabled(!all);
        generations_label_->setEnabled(!all);
    });
    calculate_ = new QPushButton(QStringLiteral("&Calculate"), this);
    calculate_->setObjectName(QStringLiteral("CalculateButton"));
    calculate_->setDefault(true);
    connect(calculate_, &QPushButton::clicked, this, &AllCoefficientsForm::Calculate);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calculate_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addWidget(slider_);
    layout->addWidget(generations_label_);
    layout->addWidget(all_generations_);
    layout->addSpacing(8);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(480);
    slider_->setFocus();
    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void AllCoefficientsForm::Calculate() {
    const int generations = all_generations_->isChecked() ? kAllKnownGenerations : slider_->value();
    BeginWork();
    for (QWidget* w : std::initializer_list<QWidget*>{slider_, all_generations_, calculate_}) {
        w->setEnabled(false);
    }
    std::optional<std::vector<double>> stored;
    QString failure;
    try {
        SetText(QStringLiteral("Reading the pedigree…"));
        SetFraction(0);
        const PedigreeTable table = ReadPedigreeTable(database_);
        stored = RunAllCoefficients(database_, table, generations, true, *this, fail_after);
    } catch (const StoreError& error) {
        failure = QStringLiteral("The coefficients could not be stored in %1: %2. No coefficient was changed.")
                      .arg(error.File(), error.Reason());
    } catch (const std::exception& error) {
        failure = QStringLiteral("The coefficients could not be calculated: %1. No coefficient was changed.")
                      .arg(QString::fromLocal8Bit(error.what()));
    }
    EndWork();
    if (!failure.isEmpty()) {
        prompts_.Message(kCaption, failure, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        QDialog::reject();
        return;
    }
    if (!stored) {
        QDialog::reject();
        return;
    }
    prompts_.Message(kCaption,
                     QStringLiteral("The inbreeding coefficients of %1 dogs have been calculated over %2 and stored.")
                         .arg(stored->size())
                         .arg(generations == kAllKnownGenerations ? QStringLiteral("all known generations")
                                                                  : QStringLiteral("%1 generations").arg(generations)),
                     Prompts::Buttons::Ok, Prompts::Icon::Information);
    accept();
}

}  // namespace lineara
