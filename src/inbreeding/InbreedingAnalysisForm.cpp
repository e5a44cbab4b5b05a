#include "inbreeding/InbreedingAnalysisForm.h"

#include "app/Prompts.h"
#include "app/QtRepaintNow.h"
#include "inbreeding/InbreedingReport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

namespace lineara {

namespace {

QLabel* WrappedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

// Restores the pointer however the calculation ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QSlider* AddGenerationsSlider(QWidget* owner, QLabel*& label) {
    auto* slider = new QSlider(Qt::Horizontal, owner);
    slider->setObjectName(QStringLiteral("NumGensSlider"));
    slider->setRange(kMinAnalysisGenerations, kMaxAnalysisGenerations);
    slider->setSingleStep(1);
    slider->setPageStep(5);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setValue(kDefaultAnalysisGenerations);
    QLabel* shown = label = new QLabel(owner);
    shown->setObjectName(QStringLiteral("NumGensLabel"));
    shown->setAlignment(Qt::AlignCenter);
    auto show_generations = [shown](int value) {
        shown->setText(QString::number(value) + QStringLiteral(" Generations"));
    };
    show_generations(slider->value());
    QObject::connect(slider, &QSlider::valueChanged, shown, show_generations);
    return slider;
}

InbreedingAnalysisForm::InbreedingAnalysisForm(DogDatabase& database, qint32 root, Prompts& prompts,
                                               QString report_path, QWidget* parent)
    : QDialog(parent), database_(database), root_(root), prompts_(prompts), report_path_(std::move(report_path)) {
    setObjectName(QStringLiteral("InbreedingAnalysisForm"));
    setWindowTitle(QStringLiteral("Inbreeding and Relationship Analysis"));
    setModal(true);

    main_label_ = WrappedLabel(
        "MainLabel",
        QStringLiteral("Select the number of generations you wish to use (using the slider bar below), then click "
                       "on \"Calculate\" to begin the calculation. Although the more generations you use, the more "
                       "precise the result will be, ten generations is suggested under normal circumstances as it "
                       "tends to produce sufficiently precise results."),
        this);
    slider_ = AddGenerationsSlider(this, generations_label_);
    note_label_ = WrappedLabel(
        "NoteLabel",
        QStringLiteral("Note: this inbreeding and relationship analysis may take a long time particularly if you "
                       "are working on an older computer or you choose a large number of generations for your "
                       "calculation."),
        this);
    working_label_ = new QLabel(QStringLiteral("Working .... please wait"), this);
    working_label_->setObjectName(QStringLiteral("WorkingLabel"));
    working_label_->setAlignment(Qt::AlignCenter);
    QFont big = working_label_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    working_label_->setFont(big);
    working_label_->hide();

    calculate_ = new QPushButton(QStringLiteral("Calculate"), this);
    calculate_->setObjectName(QStringLiteral("CalculateButton"));
    calculate_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(calculate_, &QPushButton::clicked, this, &InbreedingAnalysisForm::Calculate);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calculate_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(main_label_);
    layout->addSpacing(8);
    layout->addWidget(slider_);
    layout->addWidget(generations_label_);
    layout->addSpacing(8);
    layout->addWidget(note_label_);
    layout->addWidget(working_label_, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(460);
    setMinimumHeight(sizeHint().height());
    slider_->setFocus();

    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void InbreedingAnalysisForm::Calculate() {
    const int generations = slider_->value();
    if (generations > 15 &&
        prompts_.Message(QStringLiteral("Warning: Long Calculation"),
                         QStringLiteral("With more than 15 generations this calculation may take a VERY long time to "
                                        "complete (hours or even days on older computers).  Are you sure you want "
                                        "to continue?"),
                         Prompts::Buttons::YesNo, Prompts::Icon::Exclamation) != Prompts::Answer::Yes) {
        return;
    }
    {
        WaitCursor wait;
        for (QWidget* w : std::initializer_list<QWidget*>{main_label_, slider_, generations_label_, note_label_,
                                                          calculate_, cancel_}) {
            w->hide();
        }
        working_label_->show();
        RepaintNow(this);

        InbreedingRun run;
        try {
            run = RunInbreedingAnalysis(database_, root_, generations);
            StoreCoefficient(database_, root_, run.analysis.coefficient);
        } catch (const StoreError& failure) {
            QApplication::restoreOverrideCursor();
            prompts_.Message(QStringLiteral("Inbreeding and Relationship Analysis"),
                             QStringLiteral("The calculation could not be done on %1: %2")
                                 .arg(failure.File(), failure.Reason()),
                             Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            reject();
            return;
        }
        const QString error = WriteReportFile(report_path_, run.report);
        report_written_ = error.isEmpty();
        if (!error.isEmpty()) {
            QApplication::restoreOverrideCursor();
            prompts_.Message(QStringLiteral("Inbreeding and Relationship Report"),
                             QStringLiteral("The coefficient was stored, but the report could not be written to "
                                            "%1: %2")
                                 .arg(report_path_, error),
                             Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    accept();
}

}  // namespace lineara
