#pragma once

#include "app/SettingsRecord.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"

#include <QLineF>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;
class QPaintDevice;

namespace lineara {

class RecordStore;

// Everything of the printed certificate is placed in inches, measured from the top-left
// corner of the printable area of the page.

// One string printed at its top-left corner.
struct PageText {
    QString text;
    ChartFont font;
    bool strikeout = false;
    qint32 colour = 0;    // 0x00BBGGRR
    QRectF rect;          // inches: where it starts and the size it measured
    bool opaque = false;  // paints its own white ground, hiding lines beneath it
};

// A line or a border. Widths are in printer dots of 1/600 inch, so that a page looks the same
// on a printer, in a PDF file and in a preview.
struct PageLine {
    QLineF line;
    double width = 1;
    qint32 colour = 0;
};

struct PageBorder {
    QRectF rect;
    double width = 1;
    qint32 colour = 0;
};

// The coloured ground behind a repeated dog's name.
struct PageMark {
    QRectF rect;  // inches
    qint32 colour = 0;
};

inline constexpr double kPrinterDotsPerInch = 600.0;

// The certificate laid out, ready to paint. Borders are painted first, then the lines, then
// the texts in order: the five blocks, the names, the information lines.
struct CertificatePage {
    QSizeF page;        // PageWidth and PageHeight: the printable size times the scales
    QRectF chart_area;  // AreaLeft, AreaTop, AreaWidth, AreaHeight
    int generations = 0;
    double name_size = 0;  // the fitted name size, points
    double half_line = 0;  // half the height of "Yy" at that size
    double widest_name = 0;
    std::vector<PageBorder> borders;
    std::vector<PageText> texts;
    std::vector<PageLine> lines;
    // Painted over the lines and under the texts; only while repeated ancestors are highlighted.
    std::vector<PageMark> marks;
    // Where each place's caption starts (index = place, element 0 unused).
    std::vector<QPointF> name_at;
};

// Measures in inches through a measurer that works in some other unit.
class InchMeasurer {
public:
    InchMeasurer(const TextMeasurer& measure, double units_per_inch)
        : measure_(measure), units_per_inch_(units_per_inch) {}
    QSizeF Size(const QString& text, const ChartFont& font) const;
    // A block of lines separated by line breaks: the widest line, and all the lines high.
    QSizeF BlockSize(const QStringList& lines, const ChartFont& font) const;

private:
    const TextMeasurer& measure_;
    double units_per_inch_;
};

// Lines of a text block as printed: the trimmed text, split at its line breaks, plus the
// empty line the closing line break starts (which counts in the block's height).
QStringList TextBlockLines(const QString& text);

// Lays the certificate out on a printable area of the given size (inches). The Notes item's
// text must already hold the root dog's print notes (see TakePrintNotes).
CertificatePage LayOutCertificate(const ChartModel& model, const ViewState& view,
                                  const SettingsRecord& settings, QSizeF printable_inches,
                                  const InchMeasurer& measure);

// Paints a laid-out page onto a painter whose device has the given resolution.
void PaintCertificate(QPainter& painter, const CertificatePage& page, double dpi_x, double dpi_y);

// The whole certificate onto the painter's device, measured with that device's own metrics:
// the one drawing path of the printer, the preview, PDF files and images.
CertificatePage RenderCertificate(QPainter& painter, const ChartModel& model, const ViewState& view,
                                  const SettingsRecord& settings);

// The root dog's print notes, trimmed, into the Notes item's text (empty when the dog has
// none or is not found), as every print does before drawing.
void TakePrintNotes(RecordStore& store, SettingsRecord& settings);
// The same for the chart as shown: a trial-mating chart's planned puppy has no notes.
void TakePrintNotes(RecordStore& store, SettingsRecord& settings, const ChartModel& chart);

}  // namespace lineara
