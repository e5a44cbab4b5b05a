#pragma once

#include <QDialog>

namespace lineara {

// "About LINEARA": product, version and where to get help.
class HelpAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit HelpAboutForm(QWidget* parent = nullptr);
};

}  // namespace lineara
