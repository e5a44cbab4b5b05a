#include "maintenance/Lnr3ImportForm.h"

#include "app/QtRepaintNow.h"
#include "maintenance/V3Import.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace lineara {

namespace {
constexpr int kBarSteps = 1000;
}

Lnr3ImportForm::Lnr3ImportForm(AppState& state, Prompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
    setWindowTitle(QStringLiteral("LINEARA v3 File Importer"));
    auto* layout = new QVBoxLayout(this);
    message_label_ = new QLabel(this);
    message_label_->setObjectName(QStringLiteral("MessageLabel"));
    progress_bar_ = new QProgressBar(this);
    progress_bar_->setObjectName(QStringLiteral("ProgressBar"));
    progress_bar_->setRange(0, kBarSteps);
    layout->addWidget(message_label_);
    layout->addWidget(progress_bar_);
    setMinimumWidth(420);
}

bool Lnr3ImportForm::Run(const std::function<void()>& release_current) {
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    Repaint();
    FailAfter never;
    const bool imported = RunV3Import(state_, prompts_, *this, release_current, never);
    hide();
    return imported;
}

void Lnr3ImportForm::SetText(const QString& text) {
    message_label_->setText(text);
    Repaint();
}

void Lnr3ImportForm::SetFraction(double fraction) {
    progress_bar_->setValue(static_cast<int>(fraction * kBarSteps));
    // Painting at every record would cost more than the import itself.
    if (!since_paint_.isValid() || since_paint_.elapsed() >= 30) {
        Repaint();
    }
}

void Lnr3ImportForm::Repaint() {
    RepaintNow(this);
    since_paint_.restart();
}

}  // namespace lineara
