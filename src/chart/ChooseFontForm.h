#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

namespace lineara {

// "Font Name Selection": picks one font family, showing a sample of it.
class ChooseFontForm : public QDialog {
    Q_OBJECT

public:
    ChooseFontForm(const QStringList& families, const QString& current, QWidget* parent = nullptr);

    QString SelectedFont() const;

private:
    void ShowSample();

    QComboBox* font_list_ = nullptr;
    QLabel* sample_ = nullptr;
};

}  // namespace lineara
