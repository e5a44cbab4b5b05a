#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QRadioButton;

namespace lineara {

class DogDatabase;
class FailAfter;
class Prompts;

// Which dogs File > Export Dogs (CSV) writes: every dog of the database, or the root dog and
// its ancestors over the chart's generations.
class CsvExportChoiceDialog : public QDialog {
public:
    CsvExportChoiceDialog(qint64 dog_count, const QString& root_name, int generations, QWidget* parent = nullptr);
    bool AncestryOnly() const;

private:
    QRadioButton* all_;
    QRadioButton* ancestry_;
};

// File > Export Dogs (CSV)…: the save dialog, the choice of dogs, the file, "File Saved".
void RunCsvExport(DogDatabase& database, Prompts& prompts, const QString& directory, qint32 root_dog_id,
                  const QString& root_name, int generations, QWidget* parent);

// File > Import Dogs (CSV)…: the open dialog, then the import dialog. True when dogs were
// imported.
bool RunCsvImport(DogDatabase& database, Prompts& prompts, const QString& directory,
                  std::function<void(qint32)> show_merged, QWidget* parent, FailAfter* fail_after = nullptr);

}  // namespace lineara
