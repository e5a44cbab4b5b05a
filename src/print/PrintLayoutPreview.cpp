#include "print/PrintLayoutPreview.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace lineara {

namespace {

constexpr int kLongestText = 1024;

QString Number(double value, const QLocale& locale) {
    if (!std::isfinite(value)) {
        value = 0;
    }
    QString text = locale.toString(value, 'g', 6);
    text.remove(locale.groupSeparator());
    return text;
}

QString StoredText(const QString& edited) {
    QString text = edited;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.left(kLongestText);
}

QString EditedText(const QString& stored) {
    static const QRegularExpression trailing(QStringLiteral("\\s+$"));
    QString text = stored;
    text.remove(trailing);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace

LayoutWorkingCopy LoadLayoutControls(const SettingsRecord& settings, const QString& root_notes,
                                     bool notes_null, const QLocale& locale) {
    LayoutWorkingCopy copy;
    for (std::size_t i = 0; i < copy.items.size(); ++i) {
        const PrintTextItem& stored = settings.PrintItem[i];
        LayoutWorkingCopy::Item& item = copy.items[i];
        item.show = stored.Show != 0;
        item.text = i == kPrintNotes ? (notes_null ? kNoPrintNotes : root_notes.trimmed())
                                     : EditedText(stored.Text);
        item.horiz = std::clamp<int>(stored.HorizPos, 0, 100);
        item.vert = std::clamp<int>(stored.VertPos, 0, 100);
        const double size =
            std::isfinite(stored.FontSize) && stored.FontSize > 0 ? stored.FontSize : 12.0;
        item.font = {stored.FontName.trimmed(), size, stored.FontBold != 0, stored.FontItalic != 0,
                     stored.FontUnderline != 0};
        item.strikeout = stored.FontStrikethru != 0;
        item.colour = stored.ForeColor;
    }
    copy.chart_width = std::clamp<int>(settings.ChartWidth, 0, 100);
    copy.chart_height = std::clamp<int>(settings.ChartHeight, 0, 100);
    copy.chart_horiz = std::clamp<int>(settings.ChartHorizPos, 0, 100);
    copy.chart_vert = std::clamp<int>(settings.ChartVertPos, 0, 100);
    for (std::size_t k = 0; k < 2; ++k) {
        const BorderSettings& border = settings.Border[k];
        copy.borders[k] = {std::clamp<int>(border.Thickness, 0, 100),
                           std::clamp<int>(border.Width, 0, 100),
                           std::clamp<int>(border.Height, 0, 100), border.Colour};
    }
    copy.x_offset = Number(settings.XOffset, locale);
    copy.y_offset = Number(settings.YOffset, locale);
    copy.x_scale = Number(settings.XScale, locale);
    copy.y_scale = Number(settings.YScale, locale);
    return copy;
}

void StoreLayoutControls(const LayoutWorkingCopy& copy, SettingsRecord& settings,
                         const QLocale& locale) {
    for (std::size_t i = 0; i < copy.items.size(); ++i) {
        const LayoutWorkingCopy::Item& item = copy.items[i];
        PrintTextItem& stored = settings.PrintItem[i];
        stored.Show = item.show ? 1 : 0;
        if (i != kPrintNotes) {
            stored.Text = StoredText(item.text);
        }
        stored.HorizPos = static_cast<qint16>(item.horiz);
        stored.VertPos = static_cast<qint16>(item.vert);
        stored.FontBold = item.font.bold ? -1 : 0;
        stored.FontItalic = item.font.italic ? -1 : 0;
        stored.FontName = item.font.family;
        stored.FontSize = static_cast<float>(item.font.point_size);
        stored.FontStrikethru = item.strikeout ? -1 : 0;
        stored.FontUnderline = item.font.underline ? -1 : 0;
        stored.ForeColor = item.colour;
    }
    settings.ChartWidth = static_cast<qint16>(copy.chart_width);
    settings.ChartHeight = static_cast<qint16>(copy.chart_height);
    settings.ChartHorizPos = static_cast<qint16>(copy.chart_horiz);
    settings.ChartVertPos = static_cast<qint16>(copy.chart_vert);
    for (std::size_t k = 0; k < 2; ++k) {
        const LayoutWorkingCopy::Border& border = copy.borders[k];
        settings.Border[k] = {static_cast<qint16>(border.thickness),
                              static_cast<qint16>(border.width), static_cast<qint16>(border.height),
                              border.colour};
    }
    settings.XOffset = static_cast<float>(LeadingNumber(copy.x_offset, locale));
    settings.YOffset = static_cast<float>(LeadingNumber(copy.y_offset, locale));
    settings.XScale = static_cast<float>(LeadingNumber(copy.x_scale, locale));
    settings.YScale = static_cast<float>(LeadingNumber(copy.y_scale, locale));
}

double LeadingNumber(const QString& text, const QLocale& locale) {
    QString normal = text.trimmed();
    const QString point = locale.decimalPoint();
    if (point != QLatin1String(".")) {
        normal.replace(point, QStringLiteral("."));
    }
    static const QRegularExpression leading(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = leading.match(normal);
    if (!match.hasMatch()) {
        return 0;
    }
    const double value = match.captured(0).toDouble();
    return std::isfinite(value) ? value : 0;
}

QString CorrectedOffsetText(const QString& text, const QLocale& locale) {
    QString result = text;
    double v = LeadingNumber(result, locale);
    if (v > 2) {
        result = QStringLiteral("2");
        v = 2;
    }
    if (v < -2) {
        result = QStringLiteral("-2");
        v = -2;
    }
    if (v == 0) {
        result = QStringLiteral("0");
    }
    return result;
}

QString CorrectedScaleText(const QString& text, const QLocale& locale) {
    QString result = text;
    double v = LeadingNumber(result, locale);
    if (v == 0) {
        result = QStringLiteral("1");
        v = 1;
    }
    if (v > 2) {
        result = QStringLiteral("2");
        v = 2;
    }
    if (v < 0.5) {
        result = Number(0.5, locale);
    }
    return result;
}

LayoutPreview RefreshPreview(const LayoutWorkingCopy& copy, QSizeF paper_inches, QSizeF frame,
                             double long_side, double dpi, const TextMeasurer& measure,
                             const QLocale& locale) {
    LayoutPreview preview;
    double x_scale = LeadingNumber(copy.x_scale, locale);
    double y_scale = LeadingNumber(copy.y_scale, locale);
    if (x_scale <= 0) {
        x_scale = 1;
    }
    if (y_scale <= 0) {
        y_scale = 1;
    }
    const double w = paper_inches.width() * x_scale;
    const double h = paper_inches.height() * y_scale;
    QSizeF paper;
    if (h >= w) {
        paper = {h > 0 ? long_side * w / h : long_side, long_side};
    } else {
        paper = {long_side, long_side * h / w};
    }
    preview.paper = QRectF(
        QPointF((frame.width() - paper.width()) / 2, (frame.height() - paper.height()) / 2), paper);
    const QRectF& page = preview.paper;

    const QSizeF area(copy.chart_width / 100.0 * page.width(),
                      copy.chart_height / 100.0 * page.height());
    preview.chart_area =
        QRectF(QPointF(page.left() + (page.width() - area.width()) * copy.chart_horiz / 100.0,
                       page.top() + (page.height() - area.height()) * copy.chart_vert / 100.0),
               area);

    // Fonts shown at the preview's scale: the preview page's width against the real one.
    const double real_width_pixels = paper_inches.width() * x_scale * dpi;
    const double font_scale = real_width_pixels > 0 ? page.width() / real_width_pixels : 1;
    for (std::size_t i = 0; i < copy.items.size(); ++i) {
        const LayoutWorkingCopy::Item& item = copy.items[i];
        LayoutPreview::Label& label = preview.labels[i];
        label.visible = item.show;
        label.text = item.text;
        label.font = item.font;
        label.font.point_size = std::max(1.0, item.font.point_size * font_scale);
        label.strikeout = item.strikeout;
        label.colour = item.colour;
        double width = 0;
        double height = 0;
        const QStringList lines = item.text.split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            const QSizeF size = measure.Size(line, label.font);
            width = std::max(width, size.width());
            height += size.height();
        }
        label.rect = QRectF(QPointF(page.left() + (page.width() - width) * item.horiz / 100.0,
                                    page.top() + (page.height() - height) * item.vert / 100.0),
                            QSizeF(width, height));
        label.align = item.horiz < 34   ? Qt::AlignLeft
                      : item.horiz < 67 ? Qt::AlignHCenter
                                        : Qt::AlignRight;
    }
    for (std::size_t k = 0; k < 2; ++k) {
        const LayoutWorkingCopy::Border& border = copy.borders[k];
        LayoutPreview::Border& shown = preview.borders[k];
        shown.colour = border.colour;
        shown.visible = border.thickness != 0;
        shown.line_width = border.thickness / 10 + 1;
        const QSizeF size(border.width / 100.0 * page.width(),
                          border.height / 100.0 * page.height());
        shown.rect = QRectF(QPointF(page.left() + (page.width() - size.width()) / 2,
                                    page.top() + (page.height() - size.height()) / 2),
                            size);
    }
    return preview;
}

}  // namespace lineara
