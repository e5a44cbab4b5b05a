// Renders the program's emblem as the PNG icons of the hicolor theme at build time:
//   lineara-render-icon OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/lineara.png
#include "app/Logo.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        err << "usage: lineara-render-icon OUTDIR SIZE...\n";
        return 2;
    }
    for (const QString& text : args.mid(1)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            err << "not an icon size: " << text << "\n";
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            lineara::PaintLogo(painter, QRectF(0, 0, size, size));
        }
        const QString folder = QDir(args.first()).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(folder).filePath(QStringLiteral("lineara.png"));
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            err << "cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
