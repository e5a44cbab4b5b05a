#include "print/QtCertificatePrinting.h"

#include "print/Certificate.h"
#include "print/CertificateOutput.h"
#include "store/RecordStore.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QScreen>

namespace lineara {

QtCertificatePrinting::QtCertificatePrinting(AppState& state, Prompts& prompts, RecordStore& store,
                                             const ChartModel& model,
                                             std::function<ViewState()> current_view,
                                             QWidget* parent)
    : state_(state),
      prompts_(prompts),
      store_(store),
      model_(model),
      current_view_(std::move(current_view)),
      parent_(parent) {
    printer_.setPageLayout(DefaultCertificatePage());
    printer_.setDocName(QStringLiteral("Certificate of Lineara"));
}

void QtCertificatePrinting::ReportFailure(const QString& reason) {
    prompts_.Message(
        QStringLiteral("Printing Failed"),
        QStringLiteral(
            "The certificate could not be printed: the printer reported %1.\r\n\r\nNothing "
            "more is sent for this page.")
            .arg(reason),
        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

void QtCertificatePrinting::Print() {
    if (!prompts_.ChoosePrinter(printer_, false)) {
        return;
    }
    TakePrintNotes(store_, state_.settings, model_);
    QPainter painter;
    if (!painter.begin(&printer_)) {
        ReportFailure(QStringLiteral("that it could not start the page"));
        return;
    }
    RenderCertificate(painter, model_, current_view_(), state_.settings);
    if (!painter.end() || printer_.printerState() == QPrinter::Error) {
        ReportFailure(QStringLiteral("an error while the page was sent"));
    }
}

void QtCertificatePrinting::PrintSetup() {
    prompts_.SetUpPage(printer_);
}

void QtCertificatePrinting::PrintPreview() {
    TakePrintNotes(store_, state_.settings, model_);
    QPrintPreviewDialog dialog(&printer_, parent_);
    dialog.setObjectName(QStringLiteral("PrintPreviewDialog"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        dialog.resize(available.width() * 7 / 10, available.height() * 9 / 10);
    }
    const ViewState view = current_view_();
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* printer) {
                         QPainter painter;
                         if (!painter.begin(printer)) {
                             ReportFailure(QStringLiteral("that it could not start the page"));
                             return;
                         }
                         RenderCertificate(painter, model_, view, state_.settings);
                         painter.end();
                     });
    dialog.exec();
}

void QtCertificatePrinting::ExportPdf() {
    const QString name =
        CertificateFileName(model_.At(1).dog != 0 ? model_.At(1).display_name : QString());
    const QString path = prompts_.SaveFile(
        {QStringLiteral("Export Certificate as PDF"), QStringLiteral("PDF File|*.PDF"),
         QDir(state_.working_directory).filePath(name), QStringLiteral("pdf")});
    if (path.isEmpty()) {
        return;
    }
    TakePrintNotes(store_, state_.settings, model_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error =
        WriteCertificatePdf(path, printer_.pageLayout(), model_, current_view_(), state_.settings);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        prompts_.Message(QStringLiteral("Error Saving File"),
                         QStringLiteral("The certificate could not be saved as\r\n%1\r\n\r\n%2")
                             .arg(QDir::toNativeSeparators(path), error),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    prompts_.Message(QStringLiteral("File Saved"),
                     QStringLiteral("Certificate Saved as\r\n") + QDir::toNativeSeparators(path));
}

void QtCertificatePrinting::SaveChartText(ExportFormat format) {
    const QString path = prompts_.SaveFile({QStringLiteral("Save This Lineara to a Text File"),
                                            QStringLiteral("Text File|*.TXT"),
                                            state_.working_directory, QStringLiteral("TXT")});
    if (path.isEmpty()) {
        return;
    }
    const QString text = SavedChartText(ChartExportText(model_, current_view_(), format));
    const QString error = WriteChartTextFile(path, text);
    if (!error.isEmpty()) {
        prompts_.Message(
            QStringLiteral("Error Saving File"),
            QStringLiteral(
                "The lineara could not be saved as\r\n%1\r\n\r\n%2\r\n\r\nNo file was changed.")
                .arg(QDir::toNativeSeparators(path), error),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    prompts_.Message(QStringLiteral("File Saved"),
                     QStringLiteral("Lineara Saved as\r\n") + QDir::toNativeSeparators(path));
}

void QtCertificatePrinting::ExportChart(ExportFormat format) {
    const QString text = ChartExportText(model_, current_view_(), format);
    auto* data = new QMimeData;
    data->setText(text);
    if (format == ExportFormat::Html) {
        data->setHtml(text);
    }
    QGuiApplication::clipboard()->clear();
    QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace lineara
