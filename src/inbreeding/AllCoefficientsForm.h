#pragma once

#include "inbreeding/CancellableWorkDialog.h"
#include "store/FailAfter.h"

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
class AllCoefficientsForm : public CancellableWorkDialog {
public:
    AllCoefficientsForm(DogDatabase& database, Prompts& prompts, QWidget* parent = nullptr);

    QSlider* Slider() const { return slider_; }
    QCheckBox* AllGenerations() const { return all_generations_; }
    void Calculate();

    // Test seam: throws after the k-th stored record.
    FailAfter fail_after;

private:
    DogDatabase& database_;
    Prompts& prompts_;
    QSlider* slider_;
    QLabel* generations_label_;
    QCheckBox* all_generations_;
    QPushButton* calculate_;
};

}  // namespace lineara
