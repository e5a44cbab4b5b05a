#include "print/CertificateOutput.h"

#include "print/Certificate.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace lineara {

namespace {

constexpr double kTypicalMarginInches = 0.25;

}  // namespace

QPageLayout DefaultCertificatePage() {
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                       QMarginsF(kTypicalMarginInches, kTypicalMarginInches, kTypicalMarginInches,
                                 kTypicalMarginInches),
                       QPageLayout::Inch);
}

QString WriteCertificatePdf(const QString& path, const QPageLayout& layout, const ChartModel& model,
                            const ViewState& view, const SettingsRecord& settings) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(layout);
        writer.setCreator(QStringLiteral("LINEARA"));
        writer.setTitle(settings.PrintItem[kPrintTitle].Text.trimmed());
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return QStringLiteral("the PDF page could not be started");
        }
        RenderCertificate(painter, model, view, settings);
        if (!painter.end()) {
            file.cancelWriting();
            return QStringLiteral("the PDF page could not be finished");
        }
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

QImage RenderCertificateImage(const QPageLayout& layout, int dpi, const ChartModel& model,
                              const ViewState& view, const SettingsRecord& settings) {
    const QRect area = layout.paintRectPixels(dpi);
    QImage image(area.size(), QImage::Format_RGB32);
    const int dots_per_metre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter painter(&image);
    RenderCertificate(painter, model, view, settings);
    painter.end();
    return image;
}

QString CertificateFileName(const QString& registered_name) {
    QString name;
    for (const QChar c : registered_name.trimmed()) {
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c)) {
            continue;
        }
        name += c;
    }
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.'))) {
        name.remove(0, 1);
    }
    if (name.isEmpty()) {
        name = QStringLiteral("Certificate");
    }
    return name + QStringLiteral(".pdf");
}

}  // namespace lineara
