#pragma once

#include "app/SettingsRecord.h"
#include "chart/ChartLayout.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"

#include <QWidget>

#include <functional>

namespace lineara {

// Paints the ancestry chart: the geometry comes from ArrangeChart, recomputed for every
// size and every change of content or style. Clicks on names and on the flag are reported
// as signals; the window decides what they do.
class ChartWidget : public QWidget {
    Q_OBJECT

public:
    ChartWidget(const ChartModel& model, const SettingsRecord& settings,
                std::function<ViewState()> current_view, QWidget* parent = nullptr);

    // Lays the chart out again for the current size and options, and repaints.
    void Arrange();
    const ChartGeometry& Geometry() const { return geometry_; }

    // Frames a place while its click is being handled.
    void ShowHighlight(int position);
    void HideHighlight();
    bool HighlightVisible() const { return highlight_ > 0; }
    QRectF HighlightRect() const;

    // The visible place under a point, or 0.
    int PositionAt(const QPointF& point) const;
    // The centre of a place's name, for tests and keyboard use.
    QPointF CentreOf(int position) const;
    // Flag size in pixels; flag_rect of the geometry says where it is.
    static QSizeF FlagSize();
    // The place the keyboard stands on (arrows move it; Enter and the menu key act on it).
    int KeyboardPosition() const { return keyboard_position_; }

signals:
    void NameReleased(int position, Qt::MouseButton button, QPoint global_position);
    void FlagClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PaintLabel(QPainter& painter, const ChartLabel& label, const ChartMark* mark) const;

    const ChartModel& model_;
    const SettingsRecord& settings_;
    std::function<ViewState()> current_view_;
    ChartGeometry geometry_;
    int highlight_ = 0;
    int keyboard_position_ = 1;
    bool keyboard_used_ = false;
};

}  // namespace lineara
