#include "chart/LnrLineOffsetSliderForm.h"

#include "app/QtDialogButtons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace lineara {

LnrLineOffsetSliderForm::LnrLineOffsetSliderForm(float& line_offset, std::function<void()> redraw,
                                                 QWidget* parent)
    : QDialog(parent), line_offset_(line_offset), remembered_(line_offset), redraw_(std::move(redraw)) {
    setObjectName(QStringLiteral("LnrLineOffsetSliderForm"));
    setWindowTitle(QStringLiteral("Lineara Line Offset Slider"));

    auto* explanation = new QLabel(
        QStringLiteral("Move this slider to the left to move the lineara lines closer to the front of "
                       "the dog's name, and to the right to move the lineara lines further back."),
        this);
    explanation->setObjectName(QStringLiteral("Label1"));
    explanation->setWordWrap(true);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("LnrLineOffsetSlider"));
    slider_->setRange(0, 100);
    slider_->setSingleStep(1);
    slider_->setPageStep(10);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(10);
    slider_->setValue(static_cast<int>(std::lround(line_offset_ * 100.0f)));
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        line_offset_ = static_cast<float>(value) / 100.0f;
        redraw_();
    });

    QDialogButtonBox* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(6);
    layout->addWidget(slider_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setFixedWidth(420);
    slider_->setFocus();

    if (parent) {
        const QRect frame = parent->frameGeometry();
        move(frame.left() + frame.width() / 20, frame.top() + frame.height() / 20);
    }
}

void LnrLineOffsetSliderForm::reject() {
    line_offset_ = remembered_;
    redraw_();
    QDialog::reject();
}

}  // namespace lineara
