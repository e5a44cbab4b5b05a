#include "exchange/QtCsvCommands.h"

#include "app/Prompts.h"
#include "exchange/CsvImportForm.h"
#include "exchange/CsvReader.h"
#include "exchange/DogCsvExport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lineara {

CsvExportChoiceDialog::CsvExportChoiceDialog(qint64 dog_count, const QString& root_name, int generations,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CsvExportChoiceDialog"));
    setWindowTitle(QStringLiteral("Export Dogs (CSV)"));
    auto* label = new QLabel(QStringLiteral("Which dogs do you want to export?"), this);
    all_ = new QRadioButton(QStringLiteral("&Every dog in the database (%1)").arg(dog_count), this);
    all_->setObjectName(QStringLiteral("AllDogs"));
    ancestry_ = new QRadioButton(
        root_name.isEmpty() ? QStringLiteral("Only the dog on the chart and its &ancestors")
                            : QStringLiteral("Only %1 and its &ancestors (%2 generations)").arg(root_name).arg(generations),
        this);
    ancestry_->setObjectName(QStringLiteral("Ancestry"));
    ancestry_->setEnabled(!root_name.isEmpty());
    all_->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(all_);
    layout->addWidget(ancestry_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CsvExportChoiceDialog::AncestryOnly() const { return ancestry_->isChecked(); }

void RunCsvExport(DogDatabase& database, Prompts& prompts, const QString& directory, qint32 root_dog_id,
                  const QString& root_name, int generations, QWidget* parent) {
    const QString path = prompts.SaveFile({QStringLiteral("Export dogs to a CSV file"), QStringLiteral("CSV file|*.csv"),
                                           directory, QStringLiteral("csv")});
    if (path.isEmpty()) {
        return;
    }
    // The chart shows 2 to 6 generations; with none checked the ancestry is the chart's default.
    const int gens = generations >= 2 ? generations : 4;
    CsvExportChoiceDialog choice(database.CountRows(), root_dog_id > 0 ? root_name : QString(), gens, parent);
    if (choice.exec() != QDialog::Accepted) {
        return;
    }
    const bool ancestry = choice.AncestryOnly() && root_dog_id > 0;
    qint64 written = 0;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        written = ExportDogsCsv(database, path, ancestry ? root_dog_id : 0, ancestry ? gens : 0);
    } catch (const CsvError& e) {
        error = e.Reason();
    } catch (const StoreError& e) {
        error = e.Reason();
    }
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        prompts.Message(QStringLiteral("Error Saving File"),
                        QStringLiteral("The dogs could not be saved as\r\n%1\r\n\r\n%2\r\n\r\nNo file was changed.")
                            .arg(QDir::toNativeSeparators(path), error),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    prompts.Message(QStringLiteral("File Saved"), QStringLiteral("%1 %2 Saved as\r\n%3")
                                                      .arg(written)
                                                      .arg(written == 1 ? QStringLiteral("Dog") : QStringLiteral("Dogs"))
                                                      .arg(QDir::toNativeSeparators(path)));
}

bool RunCsvImport(DogDatabase& database, Prompts& prompts, const QString& directory,
                  std::function<void(qint32)> show_merged, QWidget* parent, FailAfter* fail_after) {
    const QString path = prompts.OpenFile({QStringLiteral("Import dogs from a CSV file"),
                                           QStringLiteral("CSV file|*.csv"), directory, {}});
    if (path.isEmpty()) {
        return false;
    }
    std::unique_ptr<CsvImportForm> form;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        form = std::make_unique<CsvImportForm>(database, path, prompts, std::move(show_merged), parent);
        QApplication::restoreOverrideCursor();
    } catch (const CsvError& error) {
        QApplication::restoreOverrideCursor();
        prompts.Message(QStringLiteral("Import Dogs (CSV)"),
                        QStringLiteral("%1\n\n%2\n\nThe current database was not changed.")
                            .arg(QDir::toNativeSeparators(error.File()), error.Reason()),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    form->fail_after = fail_after;
    form->exec();
    return form->Completed();
}

}  // namespace lineara
