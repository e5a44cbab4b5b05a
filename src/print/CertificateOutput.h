#pragma once

#include "app/SettingsRecord.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

namespace lineara {

// The page a typical printer offers: US Letter, portrait, printing up to a quarter inch from
// every edge of the paper.
QPageLayout DefaultCertificatePage();

// Writes the certificate as a one-page PDF file (vector text, fonts embedded). The file is
// written aside and moved into place, so a failure leaves no half-written file and an older
// file as it was. Returns the reason of a failure, or an empty text.
QString WriteCertificatePdf(const QString& path, const QPageLayout& layout, const ChartModel& model,
                            const ViewState& view, const SettingsRecord& settings);

// The certificate as an image of the printable area at the given resolution.
QImage RenderCertificateImage(const QPageLayout& layout, int dpi, const ChartModel& model,
                              const ViewState& view, const SettingsRecord& settings);

// A default file name for a dog's certificate: the registered name with the characters file
// systems refuse taken out, and ".pdf".
QString CertificateFileName(const QString& registered_name);

}  // namespace lineara
