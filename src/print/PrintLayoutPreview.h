#pragma once

#include "app/SettingsRecord.h"
#include "chart/ChartLayout.h"

#include <QLocale>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>

namespace lineara {

// The print layout editor's working copy: everything its controls hold. Texts use "\n"
// between lines while they are edited.
struct LayoutWorkingCopy {
    struct Item {
        bool show = false;
        QString text;  // for the notes, what the notes label shows
        int horiz = 0;
        int vert = 0;
        ChartFont font;  // the true point size
        bool strikeout = false;
        qint32 colour = 0;
    };
    std::array<Item, 5> items;
    int chart_width = 0, chart_height = 0, chart_horiz = 0, chart_vert = 0;
    struct Border {
        int thickness = 0, width = 0, height = 0;
        qint32 colour = 0;
    };
    std::array<Border, 2> borders;
    QString x_offset, y_offset, x_scale, y_scale;  // the calibration boxes' texts
};

inline const QString kNoPrintNotes = QStringLiteral("(no print notes for the current dog)");

// Fills the working copy from the settings; the notes label shows the root dog's notes
// (null = none).
LayoutWorkingCopy LoadLayoutControls(const SettingsRecord& settings, const QString& root_notes,
                                     bool notes_null, const QLocale& locale);
// Copies the working copy back; the Notes item's text is left alone.
void StoreLayoutControls(const LayoutWorkingCopy& copy, SettingsRecord& settings,
                         const QLocale& locale);

// The number a calibration box's text starts with (0 when it starts with none); the
// locale's decimal separator counts as well as ".".
double LeadingNumber(const QString& text, const QLocale& locale);
// The corrections made when a calibration box is left: offsets stay within -2..2 inches,
// scales within 0.5..2 (an empty or non-numeric scale becomes 1).
QString CorrectedOffsetText(const QString& text, const QLocale& locale);
QString CorrectedScaleText(const QString& text, const QLocale& locale);

// The preview drawn from a working copy, in the preview frame's pixels.
struct LayoutPreview {
    QRectF paper;
    QRectF chart_area;
    struct Label {
        bool visible = false;
        QString text;
        ChartFont font;  // the shown size
        bool strikeout = false;
        qint32 colour = 0;
        QRectF rect;
        Qt::Alignment align = Qt::AlignLeft;
    };
    std::array<Label, 5> labels;
    struct Border {
        bool visible = false;
        QRectF rect;
        int line_width = 1;  // pixels
        qint32 colour = 0;
    };
    std::array<Border, 2> borders;
};

// The page is drawn with its longer side `long_side` pixels, shaped by the paper size (inches)
// times the scales; a square page counts as portrait. Labels are measured with `measure`,
// whose unit must be the frame's pixel.
LayoutPreview RefreshPreview(const LayoutWorkingCopy& copy, QSizeF paper_inches, QSizeF frame,
                             double long_side, double dpi, const TextMeasurer& measure,
                             const QLocale& locale);

}  // namespace lineara
