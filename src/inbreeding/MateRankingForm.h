#pragma once

#include "inbreeding/CancellableWorkDialog.h"
#include "inbreeding/MateRanking.h"

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTableWidget;

namespace lineara {

class DogDatabase;
class Prompts;

// "Best Sires for This Dam": every candidate male ranked by the coefficient a litter of his
// and the dam's would have, lowest first, with the pair's relationship coefficient. The list
// fills while the calculation runs; a find box narrows it by name; double-clicking a sire
// opens the trial mating of the pair. Nothing is stored.
class MateRankingForm : public CancellableWorkDialog {
public:
    using ChooseDam = std::function<qint32()>;
    using OpenTrialMating = std::function<void(qint32 sire, qint32 dam)>;

    MateRankingForm(DogDatabase& database, Prompts& prompts, qint32 root, ChooseDam choose,
                    OpenTrialMating open_trial, QWidget* parent = nullptr);

    void SetDam(qint32 dog);
    qint32 Dam() const { return dam_; }
    void Calculate();
    // The sire shown on a row of the list.
    qint32 SireOnRow(int row) const;
    const std::vector<RankedSire>& Shown() const { return shown_; }

    QSlider* Slider() const { return slider_; }
    QCheckBox* AllMales() const { return all_males_; }
    QLineEdit* FindBox() const { return find_; }
    QTableWidget* Table() const { return table_; }
    QPushButton* CalculateButton() const { return calculate_; }

private:
    void Add(const RankedSire& line);
    void ApplyFilter();

    DogDatabase& database_;
    Prompts& prompts_;
    OpenTrialMating open_trial_;
    qint32 dam_ = 0;
    std::vector<RankedSire> shown_;  // in the list's order
    QLabel* dam_label_;
    QSlider* slider_;
    QLabel* generations_label_;
    QCheckBox* all_males_;
    QLineEdit* find_;
    QTableWidget* table_;
    QPushButton* calculate_;
};

}  // namespace lineara
