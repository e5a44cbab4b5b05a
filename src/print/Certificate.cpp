#include "print/Certificate.h"

#include "app/Colours.h"
#include "chart/FontTextMeasurer.h"
#include "chart/RepeatedAncestors.h"
#include "store/RecordStore.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace lineara {

namespace {

// The name size is tried from 36 points down; below 7 nothing smaller is tried.
constexpr int kLargestNameSize = 36;
constexpr int kSmallestNameSize = 6;
constexpr double kInfoSizeFactor = 0.75;
// A block size nobody would choose stands for a damaged settings file.
constexpr double kDefaultBlockSize = 12.0;
constexpr double kLargestBlockSize = 720.0;
const QString kMeasureText = QStringLiteral("Yy");

double BlockFontSize(float stored) {
    const double size = stored;
    if (!std::isfinite(size) || size <= 0) {
        return kDefaultBlockSize;
    }
    return std::min(size, kLargestBlockSize);
}

// Settings values come from a file that may be damaged; a percentage outside 0..100 or a
// scale that is not a number would put the page anywhere.
double Percent(qint16 value) {
    return std::clamp<double>(value, 0, 100) / 100.0;
}

double Finite(float value, double fallback) {
    return std::isfinite(value) ? static_cast<double>(value) : fallback;
}

ChartFont ItemFont(const PrintTextItem& item) {
    return {item.FontName.trimmed(), BlockFontSize(item.FontSize), item.FontBold != 0,
            item.FontItalic != 0, item.FontUnderline != 0};
}

}  // namespace

QSizeF InchMeasurer::Size(const QString& text, const ChartFont& font) const {
    const QSizeF size = measure_.Size(text, font);
    return {size.width() / units_per_inch_, size.height() / units_per_inch_};
}

QSizeF InchMeasurer::BlockSize(const QStringList& lines, const ChartFont& font) const {
    double width = 0;
    double height = 0;
    for (const QString& line : lines) {
        const QSizeF size = Size(line, font);
        width = std::max(width, size.width());
        height += size.height();
    }
    return {width, height};
}

QStringList TextBlockLines(const QString& text) {
    static const QRegularExpression trailing(QStringLiteral("\\s+$"));
    QString block = text;
    block.remove(trailing);
    if (block.trimmed().isEmpty()) {
        return {};
    }
    // The layout editor stores CR LF; a lone LF or CR (a hand-edited file) breaks a line too.
    static const QRegularExpression line_break(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = block.split(line_break);
    lines.append(QString());
    return lines;
}

CertificatePage LayOutCertificate(const ChartModel& model, const ViewState& view,
                                  const SettingsRecord& settings, QSizeF printable_inches,
                                  const InchMeasurer& measure) {
    CertificatePage page;
    const double x_scale = Finite(settings.XScale, 1.0);
    const double y_scale = Finite(settings.YScale, 1.0);
    const double x_offset = Finite(settings.XOffset, 0.0);
    const double y_offset = Finite(settings.YOffset, 0.0);
    const double page_width = printable_inches.width() * x_scale;
    const double page_height = printable_inches.height() * y_scale;
    page.page = {page_width, page_height};

    // Borders, centred on the (offset) page.
    for (const BorderSettings& border : settings.Border) {
        if (border.Thickness <= 0) {
            continue;
        }
        const double width = page_width * Percent(border.Width);
        const double height = page_height * Percent(border.Height);
        const double x1 = x_offset + (page_width - width) / 2;
        const double y1 = y_offset + (page_height - height) / 2;
        page.borders.push_back(
            {QRectF(x1, y1, width, height), static_cast<double>(border.Thickness), border.Colour});
    }

    // The printer's font state carries from the text blocks into the chart's first fit.
    ChartFont current{QStringLiteral("Arial"), kLargestNameSize + 1, false, false, false};

    for (const int index :
         {kPrintFootnote, kPrintKennelAddress, kPrintTitle, kPrintKennelName, kPrintNotes}) {
        const PrintTextItem& item = settings.PrintItem[static_cast<std::size_t>(index)];
        const QStringList lines = TextBlockLines(item.Text);
        if (item.Show != 1 || lines.isEmpty()) {
            continue;
        }
        const ChartFont font = ItemFont(item);
        current = font;
        const QSizeF block = measure.BlockSize(lines, font);
        const int h = std::clamp<int>(item.HorizPos, 0, 100);
        double y = y_offset + (page_height - block.height()) * Percent(item.VertPos);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QString& line = lines.at(i);
            const QSizeF size = measure.Size(line, font);
            double x = 0;
            if (h <= 33) {
                x = x_offset + (page_width - block.width()) * h / 100.0;
            } else if (h <= 66) {
                x = x_offset + page_width * h / 100.0 - size.width() / 2;
            } else {
                const double right =
                    x_offset + page_width - (page_width - block.width()) * (100 - h) / 100.0;
                x = right - size.width();
            }
            page.texts.push_back({line, font, item.FontStrikethru != 0, item.ForeColor,
                                  QRectF(QPointF(x, y), size)});
            y += size.height();
        }
    }

    const int generations = std::clamp(view.CurrentNumGens(), 2, 6);
    const int count = PositionCount(generations);
    page.generations = generations;

    // Row fit: the largest size for which one more line of "Yy" than there are places fits the
    // area's height, measured in whatever face the blocks left behind.
    const double area_height = page_height * Percent(settings.ChartHeight);
    const double area_width = page_width * Percent(settings.ChartWidth);
    current.point_size = kLargestNameSize + 1;
    double half_line = 0;
    for (;;) {
        current.point_size -= 1;
        if (current.point_size <= kSmallestNameSize) {
            break;
        }
        half_line = measure.Size(kMeasureText, current).height() / 2;
        if (count * 2 * half_line <= area_height - 2 * half_line) {
            break;
        }
    }
    const double area_left = (page_width - area_width) * Percent(settings.ChartHorizPos);
    const double area_top = (page_height - area_height) * Percent(settings.ChartVertPos);
    page.chart_area = QRectF(area_left, area_top, area_width, area_height);

    std::vector<QString> captions(static_cast<std::size_t>(count + 1));
    std::vector<ChartFont> fonts(static_cast<std::size_t>(count + 1));
    std::vector<qint32> colours(static_cast<std::size_t>(count + 1));
    double widest = 0;
    for (int p = 1; p <= count; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const bool champion = model.At(p).champion;
        captions[i] = ChartCaption(model.At(p), view);
        ChartFont font = NameFont(champion, view, settings);
        font.point_size = current.point_size;
        fonts[i] = font;
        colours[i] = NameColour(champion, view, settings);
        current = font;
        widest = std::max(widest, measure.Size(captions[i], current).width());
    }
    // Width fit, in the style the last place left.
    while (widest > area_width / 2 && current.point_size > kSmallestNameSize) {
        current.point_size -= 1;
        widest = 0;
        for (int p = 1; p <= count; ++p) {
            widest = std::max(widest,
                              measure.Size(captions[static_cast<std::size_t>(p)], current).width());
        }
    }
    half_line = measure.Size(kMeasureText, current).height() / 2;
    page.name_size = current.point_size;
    page.half_line = half_line;
    page.widest_name = widest;
    page.name_at.assign(static_cast<std::size_t>(count + 1), QPointF());

    const double line_width = view.LineWidth();
    const qint32 line_colour = view.line_use_colour ? settings.LineColour : 0;
    const double line_offset = Finite(settings.LineOffset, 0.25);
    const RepeatedAncestors repeats =
        view.highlight_repeats ? RepeatedAncestors::Find(model, count) : RepeatedAncestors();
    for (int p = 1; p <= count; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const int g = GenerationOf(p);
        const int r = p - (1 << g) + 1;
        const double x = area_left + (area_width - widest) * g / generations;
        const int band = (1 << (generations - g)) * (2 * r - 1);
        const double y = area_top + area_height / count * (band - 0.5) - half_line;
        page.name_at[i] = {x, y};
        ChartFont font = fonts[i];
        font.point_size = page.name_size;
        const QRectF name_rect(QPointF(x, y), measure.Size(captions[i], font));
        page.texts.push_back({captions[i], font, false, colours[i], name_rect});
        if (const RepeatMark& mark = repeats.At(p); mark.Repeated()) {
            page.marks.push_back({RepeatMarkRect(name_rect), RepeatColour(mark.colour_index)});
        }

        if (p == 1 || !view.show_lines) {
            continue;
        }
        const QPointF child = page.name_at[static_cast<std::size_t>(p / 2)];
        const bool sire = p % 2 == 0;
        const double x1 = x - half_line / 2;
        const double y1 = y + half_line;
        const double xe = child.x() + (x - child.x()) * line_offset - half_line / 2;
        const double ye = sire ? child.y() : child.y() + 2 * half_line;
        const double rise = sire ? ye - y1 : y1 - ye;
        const double run = std::abs(xe - x1);
        if (view.diagonal) {
            if (rise > run / 50) {
                page.lines.push_back({QLineF(x1, y1, xe, ye), line_width, line_colour});
            }
        } else if (rise > run / 100) {
            page.lines.push_back({QLineF(x1, y1, xe, y1), line_width, line_colour});
            page.lines.push_back({QLineF(xe, y1, xe, ye), line_width, line_colour});
        }
    }

    // Information lines under every generation but the outermost, smaller, never underlined,
    // on their own ground so that no line runs through them.
    if (view.additional_info != kAddlNone) {
        for (int p = 1; p <= count / 2; ++p) {
            const auto i = static_cast<std::size_t>(p);
            const QString& info = model.At(p).info;
            if (info.isEmpty()) {
                continue;
            }
            ChartFont font = fonts[i];
            font.underline = false;
            font.point_size = page.name_size * kInfoSizeFactor;
            const QPointF at(page.name_at[i].x(), page.name_at[i].y() + 2 * half_line);
            page.texts.push_back(
                {info, font, false, colours[i], QRectF(at, measure.Size(info, font)), true});
        }
    }
    return page;
}

void PaintCertificate(QPainter& painter, const CertificatePage& page, double dpi_x, double dpi_y) {
    const auto point = [&](QPointF p) { return QPointF(p.x() * dpi_x, p.y() * dpi_y); };
    const auto rect = [&](const QRectF& r) {
        return QRectF(point(r.topLeft()), point(r.bottomRight()));
    };
    const double dot = dpi_x / kPrinterDotsPerInch;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const PageBorder& border : page.borders) {
        QPen pen(ColourFromBgr(border.colour), border.width * dot);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(rect(border.rect));
    }
    for (const PageLine& line : page.lines) {
        QPen pen(ColourFromBgr(line.colour), line.width * dot);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(point(line.line.p1()), point(line.line.p2()));
    }
    painter.setPen(Qt::NoPen);
    for (const PageMark& mark : page.marks) {
        const QRectF target = rect(mark.rect);
        painter.setBrush(ColourFromBgr(mark.colour));
        painter.drawRoundedRect(target, target.height() / 4, target.height() / 4);
    }
    painter.setBrush(Qt::NoBrush);
    for (const PageText& text : page.texts) {
        QFont font = FontTextMeasurer::ToQFont(text.font);
        font.setStrikeOut(text.strikeout);
        painter.setFont(font);
        const QRectF target = rect(text.rect);
        if (text.opaque) {
            painter.fillRect(target, Qt::white);
        }
        painter.setPen(ColourFromBgr(text.colour));
        painter.drawText(target,
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                         text.text);
    }
    painter.restore();
}

CertificatePage RenderCertificate(QPainter& painter, const ChartModel& model, const ViewState& view,
                                  const SettingsRecord& settings) {
    QPaintDevice* device = painter.device();
    const double dpi_x = device->logicalDpiX();
    const double dpi_y = device->logicalDpiY();
    // Measured at the device's own resolution, so the names fill the area on every device.
    const FontTextMeasurer fonts(device->logicalDpiY());
    const InchMeasurer measure(fonts, dpi_y);
    const CertificatePage page = LayOutCertificate(
        model, view, settings, QSizeF(device->width() / dpi_x, device->height() / dpi_y), measure);
    PaintCertificate(painter, page, dpi_x, dpi_y);
    return page;
}

void TakePrintNotes(RecordStore& store, SettingsRecord& settings, const ChartModel& chart) {
    if (chart.IsTrialMating()) {
        settings.PrintItem[kPrintNotes].Text.clear();
        return;
    }
    TakePrintNotes(store, settings);
}

void TakePrintNotes(RecordStore& store, SettingsRecord& settings) {
    QString& notes = settings.PrintItem[kPrintNotes].Text;
    notes.clear();
    store.FindFirst(Criterion::ById(settings.RootDogID));
    if (store.NoMatch() || store.IsNull(Field::PrintNotes)) {
        return;
    }
    notes = store.Text(Field::PrintNotes).trimmed();
}

}  // namespace lineara
