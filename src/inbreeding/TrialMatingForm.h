#pragma once

#include "inbreeding/TrialMating.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;

namespace lineara {

class DogDatabase;
class Prompts;

// "Trial Mating": a sire and a dam (each chosen by name or taken from the chart's root) and
// a number of generations; Calculate works out the coefficient a puppy of the pair would
// have, writes its report and hands it to `show_report`, and lists the pair's common
// ancestors. Nothing is stored.
class TrialMatingForm : public QDialog {
public:
    // `choose(male)` lets the user pick a dog of that sex and returns its DogID, 0 for none.
    using ChooseDog = std::function<qint32(bool male)>;
    using ShowReport = std::function<void(const QString& report_path)>;
    using ShowChart = std::function<void(qint32 sire, qint32 dam)>;

    TrialMatingForm(DogDatabase& database, Prompts& prompts, qint32 root, QString report_path,
                    ChooseDog choose, ShowReport show_report, QWidget* parent = nullptr);

    // Called after every successful calculation, to show the planned puppy's chart.
    void SetShowChart(ShowChart show_chart) { show_chart_ = std::move(show_chart); }
    void SetSire(qint32 dog);
    void SetDam(qint32 dog);
    QSlider* Slider() const { return slider_; }
    QTableWidget* Table() const { return table_; }
    void Calculate();
    // The common ancestors as tab-separated text with a heading row, CR LF line ends.
    QString TableText() const;
    const TrialMatingRun* LastRun() const { return has_run_ ? &run_ : nullptr; }

private:
    void SetParent(bool sire, qint32 dog);

    DogDatabase& database_;
    Prompts& prompts_;
    QString report_path_;
    ShowReport show_report_;
    ShowChart show_chart_;
    qint32 sire_ = 0;
    qint32 dam_ = 0;
    TrialMatingRun run_;
    bool has_run_ = false;
    QLabel* sire_label_;
    QLabel* dam_label_;
    QSlider* slider_;
    QLabel* generations_label_;
    QLabel* result_label_;
    QTableWidget* table_;
    QPushButton* calculate_;
    QPushButton* copy_;
    std::unique_ptr<TrialMatingPreparation> preparation_;
};

}  // namespace lineara
