#pragma once

#include "app/Prompts.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

namespace lineara {

// The font dialog of a printed text: face, size, style, strikeout and underline, and the
// text's colour.
class PrintFontDialog : public QDialog {
    Q_OBJECT

public:
    PrintFontDialog(const Prompts::FontChoice& current, QWidget* parent = nullptr);

    Prompts::FontChoice Choice() const;

private:
    void ShowColour();

    QFontDialog* fonts_ = nullptr;
    QPushButton* colour_button_ = nullptr;
    qint32 colour_ = 0;
};

}  // namespace lineara
