#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QSlider;

namespace lineara {

class DogDatabase;
class Prompts;

// The generations slider (5 to 20, ten to start with) and the "N Generations" label that
// follows it, as the analysis dialogs show them.
QSlider* AddGenerationsSlider(QWidget* owner, QLabel*& label);

// "Inbreeding and Relationship Analysis": the number of generations, then Calculate works
// out the root dog's coefficient, stores it in the dog's IC and writes the report file.
// Cancel changes nothing. The dialog is accepted once the calculation has been done.
class InbreedingAnalysisForm : public QDialog {
public:
    InbreedingAnalysisForm(DogDatabase& database, qint32 root, Prompts& prompts, QString report_path,
                           QWidget* parent = nullptr);

    QSlider* Slider() const { return slider_; }
    void Calculate();
    // True once a calculation has written the report file.
    bool ReportWritten() const { return report_written_; }

private:
    DogDatabase& database_;
    qint32 root_;
    Prompts& prompts_;
    QString report_path_;
    bool report_written_ = false;
    QLabel* main_label_;
    QSlider* slider_;
    QLabel* generations_label_;
    QLabel* note_label_;
    QLabel* working_label_;
    QPushButton* calculate_;
    QPushButton* cancel_;
};

}  // namespace lineara
