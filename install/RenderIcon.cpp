// Renders the program's emblem as the PNG icons of the hicolor theme at build time:
//   lineara-render-icon OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/lineara.png
#include "app/Logo.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char** argv) {
    // Shapes only: painting on an image needs no application object or display.
    QTextStream err(stderr);
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
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
