#include "chart/ChooseFontForm.h"

#include "app/QtDialogButtons.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lineara {

ChooseFontForm::ChooseFontForm(const QStringList& families, const QString& current, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ChooseFontForm"));
    setWindowTitle(QStringLiteral("Font Name Selection"));

    font_list_ = new QComboBox(this);
    font_list_->setObjectName(QStringLiteral("FontListComboBox"));
    font_list_->addItems(families);
    font_list_->setMaxVisibleItems(20);
    const int index = font_list_->findText(current.trimmed(), Qt::MatchFixedString);
    font_list_->setCurrentIndex(index >= 0 ? index : 0);

    sample_ = new QLabel(QStringLiteral("Sample Text"), this);
    sample_->setObjectName(QStringLiteral("SampleText"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumHeight(70);
    sample_->setFrameShape(QFrame::StyledPanel);

    QDialogButtonBox* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(font_list_);
    layout->addWidget(sample_);
    layout->addWidget(buttons);

    connect(font_list_, &QComboBox::currentIndexChanged, this, &ChooseFontForm::ShowSample);
    ShowSample();
    resize(380, sizeHint().height());
}

QString ChooseFontForm::SelectedFont() const { return font_list_->currentText(); }

void ChooseFontForm::ShowSample() {
    QFont font(SelectedFont());
    font.setPointSize(20);
    sample_->setFont(font);
}

}  // namespace lineara
