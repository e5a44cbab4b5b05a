#pragma once

#include "app/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QLabel;
class QProgressBar;

namespace lineara {

struct AppState;
class Prompts;

// "LINEARA v3 File Importer": shows how far the import of the old data file has got.
class Lnr3ImportForm : public QDialog, public Progress {
public:
    Lnr3ImportForm(AppState& state, Prompts& prompts, QWidget* parent = nullptr);

    // Shows the window centred on the screen and runs the whole import; true when the
    // imported database is now the current one.
    bool Run(const std::function<void()>& release_current);

    void SetText(const QString& text) override;
    void SetFraction(double fraction) override;

private:
    void Repaint();

    AppState& state_;
    Prompts& prompts_;
    QLabel* message_label_;
    QProgressBar* progress_bar_;
    QElapsedTimer since_paint_;
};

}  // namespace lineara
