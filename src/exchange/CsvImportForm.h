#pragma once

#include "app/Progress.h"
#include "exchange/DogCsvImport.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace lineara {

class DogDatabase;
class FailAfter;
class Prompts;

// "Import Dogs (CSV)": how the file's columns map onto the dog record (each mapping can be
// changed, columns that are not imported are listed too), the first rows as they will be
// imported, every problem with its row, and the counts. Nothing is written until Import is
// pressed; the import and its clean-up then run in one transaction.
class CsvImportForm : public QDialog, public Progress {
public:
    // Reads the file's first line and runs the preview. Throws CsvError when the file cannot
    // be read at all.
    CsvImportForm(DogDatabase& database, const QString& path, Prompts& prompts,
                  std::function<void(qint32)> show_merged, QWidget* parent = nullptr);

    void SetText(const QString& text) override;
    void SetFraction(double) override {}

    // The preview of the current mapping (nothing when the mapping cannot be imported).
    const CsvImportResult& Preview() const { return preview_; }
    // True once the import has been stored.
    bool Completed() const { return completed_; }
    const CsvImportResult& Result() const { return result_; }
    // Sets the column's mapping as the user does in its list, and runs the preview again.
    void MapColumn(int column, int target);

    // Test seam: throws after the k-th record.
    FailAfter* fail_after = nullptr;

private:
    void RunPreview();
    void ShowPreview();
    void Import();
    void Repaint();

    DogDatabase& database_;
    QString path_;
    Prompts& prompts_;
    std::function<void(qint32)> show_merged_;
    QStringList headings_;
    QHash<QString, int> mapping_;  // only the columns the user changed
    CsvImportResult preview_;
    CsvImportResult result_;
    QString preview_error_;
    bool completed_ = false;

    QLabel* file_label_;
    QTableWidget* mapping_table_;
    std::vector<QComboBox*> combos_;
    QTableWidget* rows_table_;
    QListWidget* problems_;
    QLabel* counts_;
    QPushButton* import_;
    QPushButton* cancel_;
};

// The problems as the dialog lists them, "Row 12: ...", at most `limit` of them and then a
// line saying how many more there are.
QStringList ProblemLines(const std::vector<CsvImportProblem>& problems, int limit);

}  // namespace lineara
