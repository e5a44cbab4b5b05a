#include "inbreeding/CancellableWorkDialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace lineara {

CancellableWorkDialog::CancellableWorkDialog(const QString& idle_text, QWidget* parent)
    : QDialog(parent), idle_text_(idle_text) {
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, 1000);
    bar_->setTextVisible(false);
    bar_->setValue(0);
    cancel_ = new QPushButton(idle_text_, this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel_, &QPushButton::clicked, this, &CancellableWorkDialog::reject);
}

void CancellableWorkDialog::SetText(const QString& text) { status_->setText(text); }

void CancellableWorkDialog::SetFraction(double fraction) {
    bar_->setValue(static_cast<int>(fraction * bar_->maximum()));
    // Keeps the window painted and lets the button be clicked.
    QApplication::processEvents();
}

void CancellableWorkDialog::reject() {
    if (running_) {
        cancel_requested_ = true;
        cancel_->setEnabled(false);
        status_->setText(QStringLiteral("Stopping…"));
        return;
    }
    QDialog::reject();
}

void CancellableWorkDialog::BeginWork() {
    running_ = true;
    cancel_requested_ = false;
    cancel_->setText(QStringLiteral("Cancel"));
    cancel_->setEnabled(true);
    bar_->setValue(0);
}

void CancellableWorkDialog::EndWork() {
    running_ = false;
    cancel_->setText(idle_text_);
    cancel_->setEnabled(true);
}

}  // namespace lineara
