#include "app/ViewExtras.h"

#include "app/AtomicFile.h"
#include "app/FileExists.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace lineara {

namespace {

const QString kSection = QStringLiteral("[LINEARA]");
const QString kHighlightKey = QStringLiteral("HighlightRepeatedAncestors");

}  // namespace

namespace view_extras {

QByteArray Serialize(const ViewExtras& extras) {
    QString text = kSection + QStringLiteral("\r\n");
    text += kHighlightKey + QLatin1Char('=') + (extras.highlight_repeats ? QLatin1Char('1') : QLatin1Char('0')) +
            QStringLiteral("\r\n");
    return text.toUtf8();
}

std::optional<ViewExtras> Parse(const QByteArray& bytes, QString* reason) {
    const auto refuse = [reason](const QString& why) -> std::optional<ViewExtras> {
        if (reason) {
            *reason = why;
        }
        return std::nullopt;
    };
    if (bytes.size() > kLargestFile) {
        return refuse(QStringLiteral("the file is too large to be a settings file"));
    }
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError() || text.contains(QChar(0))) {
        return refuse(QStringLiteral("the file is not a text file"));
    }
    ViewExtras extras;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('['))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            return refuse(QStringLiteral("the line \"%1\" is not of the form Key=Value").arg(line.left(60)));
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key.compare(kHighlightKey, Qt::CaseInsensitive) == 0) {
            if (value != QLatin1String("0") && value != QLatin1String("1")) {
                return refuse(QStringLiteral("%1 must be 0 or 1, not \"%2\"").arg(kHighlightKey, value.left(20)));
            }
            extras.highlight_repeats = value == QLatin1String("1");
        }
    }
    return extras;
}

}  // namespace view_extras

QString ViewExtrasPath(const QString& directory) {
    const QString name = QString::fromLatin1(view_extras::kFileName);
    return FindExistingFile(directory, name).value_or(QDir(directory).filePath(name));
}

ViewExtrasRead ReadViewExtras(const QString& directory) {
    ViewExtrasRead read;
    const auto path = FindExistingFile(directory, QString::fromLatin1(view_extras::kFileName));
    if (!path) {
        return read;  // the first run: the defaults, and nothing to tell
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.problem = file.errorString();
        return read;
    }
    // One byte past the limit tells an oversized file without reading all of it.
    QString reason;
    if (const auto parsed = view_extras::Parse(file.read(view_extras::kLargestFile + 1), &reason)) {
        read.extras = *parsed;
    } else {
        read.problem = reason;
    }
    return read;
}

QString WriteViewExtras(const ViewExtras& extras, const QString& directory) {
    return WriteFileAtomically(ViewExtrasPath(directory), view_extras::Serialize(extras));
}

}  // namespace lineara
