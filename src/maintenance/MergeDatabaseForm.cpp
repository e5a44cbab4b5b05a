#include "maintenance/MergeDatabaseForm.h"

#include "app/QtRepaintNow.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lineara {

MergeDatabaseForm::MergeDatabaseForm(DogDatabase& current, const QString& merge_source_path, Prompts& prompts,
                                     std::function<void(qint32)> show_merged, QWidget* parent)
    : QDialog(parent),
      current_(current),
      source_(merge_source_path.trimmed()),
      prompts_(prompts),
      show_merged_(std::move(show_merged)) {
    setObjectName(QStringLiteral("MergeDatabaseForm"));
    const bool merging = !source_.isEmpty();
    setWindowTitle(merging ? QStringLiteral("Merge Databases") : QStringLiteral("Database Cleanup"));
    label_ = new QLabel(
        merging ? QStringLiteral("Depending on the sizes of the databases and the speed of your computer, merging "
                                 "two databases may take a long time. You will be asked questions about apparent "
                                 "duplicate records during the process. Since it cannot be stopped until "
                                 "complete, do not proceed with a database merge unless you have time to "
                                 "complete it.")
                : QStringLiteral("Depending on the size of the database and the speed of your computer, a "
                                 "database clean-up may take a long time.  You will be asked questions about "
                                 "apparent duplicate records during the process.  Since it cannot be stopped "
                                 "until complete, do not proceed with a database clean-up unless you have time "
                                 "to complete it."),
        this);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setWordWrap(true);
    label_->setMinimumSize(420, 120);
    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("OKButton"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, &MergeDatabaseForm::RunDriver);
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MergeDatabaseForm::SetText(const QString& text) {
    label_->setText(text);
    Repaint();
}

void MergeDatabaseForm::Repaint() { RepaintNow(label_); }

void MergeDatabaseForm::RunDriver() {
    ok_->hide();
    cancel_->hide();
    label_->setAlignment(Qt::AlignCenter);
    MaintenanceHooks hooks;
    hooks.prompts = &prompts_;
    hooks.progress = this;
    hooks.fail_after = fail_after;
    hooks.show_merged = show_merged_;
    hooks.repaint = [this] { Repaint(); };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        RunMergeDriver(current_, source_, hooks);
    } catch (const StoreError& error) {
        QApplication::restoreOverrideCursor();
        prompts_.Message(windowTitle(),
                         QStringLiteral("%1\n\n%2\n\nThe current database was not changed.")
                             .arg(QDir::toNativeSeparators(error.File()), error.Reason()),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        reject();
        return;
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        prompts_.Message(windowTitle(),
                         QString::fromUtf8(error.what()) + QStringLiteral("\n\nThe current database was not changed."),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        reject();
        return;
    }
    QApplication::restoreOverrideCursor();
    completed_ = true;
    const QString done = CompletionText(!source_.isEmpty());
    label_->setText(done);
    Repaint();
    prompts_.Message(done, done);
    accept();
}

}  // namespace lineara
