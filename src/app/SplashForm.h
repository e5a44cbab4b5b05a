#pragma once

#include <QWidget>

namespace lineara {

// The window shown while LINEARA loads.
class SplashForm : public QWidget {
    Q_OBJECT

public:
    explicit SplashForm(QWidget* parent = nullptr);

    // Shows the window centred and lets it paint.
    void ShowAndPaint();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace lineara
