#pragma once

#include "app/Prompts.h"
#include "app/SettingsRecord.h"
#include "print/PrintLayoutPreview.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QSlider;
class QTabWidget;

namespace lineara {

class FontTextMeasurer;
class PreviewPage;

// "Print Layout": places and styles everything the certificate prints around the chart, with
// a live preview of the page. Nothing reaches the settings until OK; Cancel discards it all.
class PrintLayoutForm : public QDialog {
    Q_OBJECT

public:
    // `print_setup` shows the page set-up dialog for `printer`, whose page shapes the preview.
    PrintLayoutForm(SettingsRecord& settings, Prompts& prompts, QPrinter& printer,
                    std::function<void()> print_setup, const QString& root_notes, bool notes_null,
                    QWidget* parent = nullptr);
    ~PrintLayoutForm() override;

    void RefreshPreview();
    const LayoutPreview& Preview() const { return preview_; }
    const LayoutWorkingCopy& WorkingCopy() const { return copy_; }

private:
    QWidget* TextItemPage(int item, const QString& frame_caption, const QString& check_caption,
                          const QString& font_button);
    QWidget* ChartPage();
    QWidget* BorderPage();
    QWidget* AdvancedPage();
    QSlider* Slider(const QString& name, int* value);
    void LoadLayoutControls();
    void ChooseItemFont(int item);
    void ChooseBorderColour(int border);
    void CalibrationLeft(QLineEdit* box, bool scale);
    void ShowBorderTitles();
    void Ok();

    SettingsRecord& settings_;
    Prompts& prompts_;
    QPrinter& printer_;
    std::function<void()> print_setup_;
    QLocale locale_;
    LayoutWorkingCopy copy_;
    LayoutPreview preview_;
    bool guard_ = false;
    std::unique_ptr<FontTextMeasurer> measure_;

    PreviewPage* page_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QCheckBox*, 5> checks_{};
    std::array<QPlainTextEdit*, 5> texts_{};
    QLabel* notes_label_ = nullptr;
    std::array<QLabel*, 2> border_titles_{};
    QLineEdit* x_offset_ = nullptr;
    QLineEdit* y_offset_ = nullptr;
    QLineEdit* x_scale_ = nullptr;
    QLineEdit* y_scale_ = nullptr;
    std::vector<std::pair<QSlider*, int*>> sliders_;
};

}  // namespace lineara
