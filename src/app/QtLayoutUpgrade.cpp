#include "app/QtLayoutUpgrade.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>

namespace lineara {

QtLayoutUpgrade::QtLayoutUpgrade(Prompts& prompts) : prompts_(prompts) {}

QtLayoutUpgrade::~QtLayoutUpgrade() = default;

bool QtLayoutUpgrade::Announce(const QString& path) {
    prompts_.Message(QStringLiteral("Upgrade Database"),
                     kUpgradeAnnouncement + QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(path),
                     Prompts::Buttons::Ok, Prompts::Icon::Information);
    dialog_ = std::make_unique<QProgressDialog>(QApplication::activeWindow());
    dialog_->setWindowTitle(QStringLiteral("Upgrade Database"));
    dialog_->setCancelButton(nullptr);
    dialog_->setRange(0, 1000);
    dialog_->setMinimumDuration(0);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumWidth(dialog_->fontMetrics().averageCharWidth() * 60);
    dialog_->setValue(0);
    dialog_->show();
    QApplication::processEvents();
    return true;
}

void QtLayoutUpgrade::Done() { dialog_.reset(); }

void QtLayoutUpgrade::SetText(const QString& text) {
    if (dialog_) {
        dialog_->setLabelText(text);
        QApplication::processEvents();
    }
}

void QtLayoutUpgrade::SetFraction(double fraction) {
    if (dialog_) {
        dialog_->setValue(static_cast<int>(fraction * 1000));
        QApplication::processEvents();
    }
}

}  // namespace lineara
