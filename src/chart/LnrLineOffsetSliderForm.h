#pragma once

#include <QDialog>

#include <functional>

class QSlider;

namespace lineara {

// "Lineara Line Offset Slider": moves where the connecting lines meet the names, redrawing
// the chart live; Cancel puts the old offset back.
class LnrLineOffsetSliderForm : public QDialog {
    Q_OBJECT

public:
    LnrLineOffsetSliderForm(float& line_offset, std::function<void()> redraw, QWidget* parent = nullptr);

    QSlider* Slider() const { return slider_; }

    void reject() override;

private:
    float& line_offset_;
    const float remembered_;
    std::function<void()> redraw_;
    QSlider* slider_ = nullptr;
};

}  // namespace lineara
