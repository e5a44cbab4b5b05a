#include "analysis/ReportLoader.h"

#include "analysis/RtfReader.h"

#include <QFile>
#include <QTextDocument>

namespace lineara {

QString LoadReportFile(const QString& path, QTextDocument& document) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    if (file.size() > kMaxReportBytes) {
        return QStringLiteral("The file is %1 MB long, far too long for a report.")
            .arg(file.size() / (1024 * 1024));
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    file.close();
    RtfReader::Read(content, document);
    // The report is a scratch file: once it is shown, nothing else needs it.
    QFile::remove(path);
    return {};
}

}  // namespace lineara
