#pragma once

#include "app/Progress.h"
#include "maintenance/DatabaseMerge.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace lineara {

class DogDatabase;
class Prompts;

// "Merge Databases" (or "Database Cleanup" without a file to merge): warns that the work
// may take long, and on OK runs the merge driver with its progress in the label.
class MergeDatabaseForm : public QDialog, public Progress {
public:
    // `show_merged` opens the dog editor on a kept record, its Cancel button hidden.
    MergeDatabaseForm(DogDatabase& current, const QString& merge_source_path, Prompts& prompts,
                      std::function<void(qint32)> show_merged, QWidget* parent = nullptr);

    void SetText(const QString& text) override;
    void SetFraction(double) override {}

    // True once the work has been stored.
    bool Completed() const { return completed_; }
    // Test seam: throws after the k-th record.
    FailAfter* fail_after = nullptr;

private:
    void RunDriver();
    void Repaint();

    DogDatabase& current_;
    QString source_;
    Prompts& prompts_;
    std::function<void(qint32)> show_merged_;
    QLabel* label_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool completed_ = false;
};

}  // namespace lineara
