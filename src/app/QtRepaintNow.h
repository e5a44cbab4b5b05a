#pragma once

class QWidget;

namespace lineara {

// Paints a widget at once while long work holds the window's thread; what the user types or
// clicks meanwhile waits in the queue.
void RepaintNow(QWidget* widget);

}  // namespace lineara
