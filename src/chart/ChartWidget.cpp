#include "chart/ChartWidget.h"

#include "app/Colours.h"
#include "chart/FlagPainter.h"
#include "chart/FontTextMeasurer.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace lineara {

namespace {

const QString kAmericanFlagHint =
    QStringLiteral("American style names are in use - click to change to Canadian");
const QString kCanadianFlagHint =
    QStringLiteral("Canadian style names are in use - click to change to American");

// How far the highlight frame stands off the name, in pixels.
constexpr qreal kHighlightMargin = 3.0;

}  // namespace

ChartWidget::ChartWidget(const ChartModel& model, const SettingsRecord& settings,
                         std::function<ViewState()> current_view, QWidget* parent)
    : QWidget(parent), model_(model), settings_(settings), current_view_(std::move(current_view)) {
    setObjectName(QStringLiteral("ChartWidget"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
}

QSizeF ChartWidget::FlagSize() { return {36.0, 20.0}; }

void ChartWidget::Arrange() {
    highlight_ = 0;
    const FontTextMeasurer measurer(logicalDpiY());
    geometry_ = ArrangeChart(model_, current_view_(), settings_, QSizeF(size()), measurer, FlagSize());
    update();
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void ChartWidget::ShowHighlight(int position) {
    highlight_ = position;
    update();
}

void ChartWidget::HideHighlight() {
    highlight_ = 0;
    update();
}

QRectF ChartWidget::HighlightRect() const {
    if (highlight_ <= 0 || highlight_ > kMaxPositions) {
        return {};
    }
    return geometry_.names[static_cast<std::size_t>(highlight_)].rect.adjusted(
        -kHighlightMargin, -kHighlightMargin, kHighlightMargin, kHighlightMargin);
}

int ChartWidget::PositionAt(const QPointF& point) const {
    // Later places are painted over earlier ones, so they win where names overlap.
    for (int p = kMaxPositions; p >= 1; --p) {
        const ChartLabel& label = geometry_.names[static_cast<std::size_t>(p)];
        if (label.visible && label.rect.contains(point)) {
            return p;
        }
    }
    return 0;
}

QPointF ChartWidget::CentreOf(int position) const {
    return geometry_.names[static_cast<std::size_t>(position)].rect.center();
}

void ChartWidget::PaintLabel(QPainter& painter, const ChartLabel& label, const ChartMark* mark) const {
    if (!label.visible) {
        return;
    }
    // Names sit on their own white ground, as labels do: where a crowded chart makes them
    // overlap, the later (outer) name covers the earlier one instead of mixing with it. A
    // repeated dog's ground is its mark colour.
    if (mark != nullptr && mark->visible) {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColourFromBgr(mark->colour));
        const qreal radius = mark->rect.height() / 4;
        painter.drawRoundedRect(mark->rect, radius, radius);
        painter.restore();
    } else {
        painter.fillRect(label.rect, Qt::white);
    }
    painter.setFont(FontTextMeasurer::ToQFont(label.font));
    painter.setPen(ColourFromBgr(label.colour));
    painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                     label.caption);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QPen line_pen(ColourFromBgr(geometry_.line_colour), geometry_.line_width);
    line_pen.setCapStyle(Qt::FlatCap);
    painter.setPen(line_pen);
    for (const ChartSegment& segment : geometry_.lines) {
        if (segment.visible) {
            painter.drawLine(segment.line);
        }
    }
    for (std::size_t p = 0; p < geometry_.names.size(); ++p) {
        PaintLabel(painter, geometry_.names[p], &geometry_.marks[p]);
    }
    for (const ChartLabel& label : geometry_.infos) {
        PaintLabel(painter, label, nullptr);
    }
    if (!geometry_.flag_rect.isEmpty()) {
        if (geometry_.american_flag) {
            PaintAmericanFlag(painter, geometry_.flag_rect);
        } else {
            PaintCanadianFlag(painter, geometry_.flag_rect);
        }
    }
    if (keyboard_used_ && hasFocus() && !HighlightVisible()) {
        const ChartLabel& label = geometry_.names[static_cast<std::size_t>(keyboard_position_)];
        if (label.visible) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(label.rect.adjusted(-kHighlightMargin, -kHighlightMargin, kHighlightMargin,
                                                 kHighlightMargin));
        }
    }
    if (HighlightVisible()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(HighlightRect(), 3, 3);
    }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    if (geometry_.flag_rect.contains(point) && event->button() == Qt::LeftButton) {
        emit FlagClicked();
        return;
    }
    const int position = PositionAt(point);
    if (position > 0 && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        emit NameReleased(position, event->button(), event->globalPosition().toPoint());
    }
}

void ChartWidget::keyPressEvent(QKeyEvent* event) {
    // The chart can be worked without a mouse: Left goes to the child, Right to the sire,
    // Up and Down to the neighbours in the same generation; Enter acts as a left click and
    // the menu key (or Shift+F10) as a right click.
    const auto shown = [this](int position) {
        return position >= 1 && position <= kMaxPositions &&
               geometry_.names[static_cast<std::size_t>(position)].visible;
    };
    if (!shown(keyboard_position_)) {
        keyboard_position_ = 1;
    }
    const int p = keyboard_position_;
    const int generation = GenerationOf(p);
    int next = p;
    switch (event->key()) {
        case Qt::Key_Left:
            next = p / 2;
            break;
        case Qt::Key_Right:
            next = 2 * p;
            break;
        case Qt::Key_Up:
            next = p - 1;
            break;
        case Qt::Key_Down:
            next = p + 1;
            break;
        case Qt::Key_Home:
            next = 1;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
        case Qt::Key_Menu:
        case Qt::Key_F10: {
            const bool menu = event->key() == Qt::Key_Menu ||
                              (event->key() == Qt::Key_F10 && event->modifiers() & Qt::ShiftModifier);
            if (event->key() == Qt::Key_F10 && !menu) {
                QWidget::keyPressEvent(event);
                return;
            }
            const QRectF rect = geometry_.names[static_cast<std::size_t>(p)].rect;
            keyboard_used_ = true;
            emit NameReleased(p, menu ? Qt::RightButton : Qt::LeftButton,
                              mapToGlobal(QPoint(qRound(rect.left()), qRound(rect.bottom()))));
            return;
        }
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    // Up and Down stay within the generation.
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && GenerationOf(next) != generation) {
        next = p;
    }
    keyboard_used_ = true;
    if (shown(next)) {
        keyboard_position_ = next;
    }
    update();
}

bool ChartWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QString tip;
        if (geometry_.flag_rect.contains(help->pos())) {
            tip = geometry_.american_flag ? kAmericanFlagHint : kCanadianFlagHint;
        } else if (const int position = PositionAt(help->pos()); position > 0) {
            tip = model_.At(position).hint;
            const ChartMark& mark = geometry_.marks[static_cast<std::size_t>(position)];
            if (mark.visible) {
                tip = tip.isEmpty() ? mark.hint : mark.hint + QLatin1Char('\n') + tip;
            }
        }
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace lineara
