#include "app/QtRepaintNow.h"

#include <QApplication>
#include <QWidget>

namespace lineara {

void RepaintNow(QWidget* widget) {
    widget->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lineara
