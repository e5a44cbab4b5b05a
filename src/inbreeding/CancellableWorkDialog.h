#pragma once

#include "app/Progress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lineara {

// A dialog that does long work on the window's thread and shows how far it has come: a status
// line, a progress bar, and a button that asks the work to stop while it runs ("Stopping…"
// until it has) and closes the dialog when nothing runs. Esc does what the button does.
class CancellableWorkDialog : public QDialog, public Progress {
public:
    // `idle_text` is the button's text while nothing runs ("Cancel" or "Close").
    CancellableWorkDialog(const QString& idle_text, QWidget* parent);

    QPushButton* CancelButton() const { return cancel_; }

    void SetText(const QString& text) override;
    void SetFraction(double fraction) override;
    bool CancelRequested() const override { return cancel_requested_; }

protected:
    void reject() override;
    // Around the work: the button reads "Cancel" while it runs, and the bar starts empty.
    void BeginWork();
    void EndWork();

    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* cancel_;

private:
    QString idle_text_;
    bool running_ = false;
    bool cancel_requested_ = false;
};

}  // namespace lineara
