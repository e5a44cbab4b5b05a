#include "print/PrintFontDialog.h"

#include "app/Colours.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lineara {

PrintFontDialog::PrintFontDialog(const Prompts::FontChoice& current, QWidget* parent)
    : QDialog(parent), colour_(current.colour) {
    setObjectName(QStringLiteral("PrintFontDialog"));
    setWindowTitle(QStringLiteral("Font"));
    QFont font(current.family);
    font.setPointSizeF(current.point_size > 0 ? current.point_size : 12);
    font.setBold(current.bold);
    font.setItalic(current.italic);
    font.setStrikeOut(current.strikeout);
    font.setUnderline(current.underline);

    // The platform's font chooser, without its own buttons, inside this dialog.
    fonts_ = new QFontDialog(font, this);
    fonts_->setObjectName(QStringLiteral("FontChooser"));
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);

    colour_button_ = new QPushButton(QStringLiteral("&Colour..."), this);
    colour_button_->setObjectName(QStringLiteral("ColourButton"));
    connect(colour_button_, &QPushButton::clicked, this, [this] {
        const QColor chosen =
            QColorDialog::getColor(ColourFromBgr(colour_), this, QStringLiteral("Colour"));
        if (chosen.isValid()) {
            colour_ = BgrFromColour(chosen);
            ShowColour();
        }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Text colour:"), this));
    bottom->addWidget(colour_button_);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(bottom);
    ShowColour();
}

void PrintFontDialog::ShowColour() {
    QPixmap swatch(16, 16);
    swatch.fill(ColourFromBgr(colour_));
    colour_button_->setIcon(QIcon(swatch));
}

Prompts::FontChoice PrintFontDialog::Choice() const {
    const QFont font = fonts_->currentFont();
    return {font.family(),    font.pointSizeF(), font.bold(), font.italic(),
            font.strikeOut(), font.underline(),  colour_};
}

}  // namespace lineara
