#pragma once

#include "app/Progress.h"
#include "store/FailAfter.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

namespace lineara {

class DogDatabase;
class Prompts;

// "Inbreeding Coefficients for All Dogs": a number of generations (or all known generations);
// Calculate works out every dog's coefficient and stores them all in one transaction, with a
// progress bar. Cancel, while it works, stops it and stores nothing. Accepted once stored.
class AllCoefficientsForm : public QDialog, public Progress {
public:
    AllCoefficientsForm(DogDatabase& database, Prompts& prompts, QWidget* parent = nullptr);

    QSlider* Slider() const { return slider_; }
    QCheckBox* AllGenerations() const { return all_generations_; }
    QPushButton* CancelButton() const { return cancel_; }
    void Calculate();

    void SetText(const QString& text) override;
    void SetFraction(double fraction) override;
    bool CancelRequested() const override { return cancel_requested_; }

    // Test seam: throws after the k-th stored record.
    FailAfter fail_after;

protected:
    void reject() override;

private:
    DogDatabase& database_;
    Prompts& prompts_;
    QSlider* slider_;
    QLabel* generations_label_;
    QCheckBox* all_generations_;
    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* calculate_;
    QPushButton* cancel_;
    bool running_ = false;
    bool cancel_requested_ = false;
};

}  // namespace lineara
