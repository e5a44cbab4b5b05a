#include "app/SplashForm.h"

#include "Version.h"
#include "app/Logo.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

namespace lineara {

SplashForm::SplashForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Loading LINEARA ..."));
    setFixedSize(520, 300);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xfb, 0xf8, 0xf1));
    setPalette(palette);
}

void SplashForm::ShowAndPaint() {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    QApplication::processEvents();
}

void SplashForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    PaintLogo(painter, QRectF(36, 60, 160, 160));

    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(54);
    title.setBold(true);
    title.setLetterSpacing(QFont::PercentageSpacing, 108);
    painter.setFont(title);
    painter.setPen(QColor(0x12, 0x2b, 0x45));
    painter.drawText(QRectF(220, 62, 290, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LINEARA"));

    QFont line(QStringLiteral("Arial"));
    line.setPixelSize(17);
    painter.setFont(line);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.drawText(QRectF(222, 132, 290, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("For Windows 95/98"));
    painter.drawText(QRectF(222, 160, 290, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));

    painter.setPen(QPen(QColor(0xe0, 0xa9, 0x3b), 3));
    painter.drawLine(QPointF(222, 200), QPointF(480, 200));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(13);
    small.setItalic(true);
    painter.setFont(small);
    painter.setPen(QColor(0x77, 0x77, 0x77));
    painter.drawText(QRectF(222, 208, 290, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Pedigrees for dog breeders and exhibitors"));
}

}  // namespace lineara
