#include "print/PrintLayoutForm.h"

#include "app/Colours.h"
#include "chart/FontTextMeasurer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lineara {

namespace {

// The preview page's longer side, pixels.
constexpr double kPreviewLongSide = 400;
constexpr int kPreviewFrame = 420;

const std::array<const char*, 5> kItemNames{"LinearaTitle", "KennelName", "KennelAddress",
                                            "PrintNotes", "Footnote"};

// A text box in which Ctrl+Enter starts a new line; Enter alone is left to the dialog (OK).
class LineBreakTextBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (event->modifiers() & Qt::ControlModifier) {
                insertPlainText(QStringLiteral("\n"));
                return;
            }
            event->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

}  // namespace

// Paints the preview: the page, the grey chart area, the five texts and both borders.
class PreviewPage : public QWidget {
public:
    explicit PreviewPage(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PaperImage"));
        setFixedSize(kPreviewFrame, kPreviewFrame);
    }
    void Show(const LayoutPreview* preview) {
        preview_ = preview;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        if (preview_ == nullptr) {
            return;
        }
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.fillRect(preview_->paper, Qt::white);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawRect(preview_->paper.adjusted(0, 0, -1, -1));
        painter.fillRect(preview_->chart_area, QColor(0xc0, 0xc0, 0xc0));
        for (const LayoutPreview::Label& label : preview_->labels) {
            if (!label.visible) {
                continue;
            }
            QFont font = FontTextMeasurer::ToQFont(label.font);
            font.setStrikeOut(label.strikeout);
            painter.setFont(font);
            painter.setPen(ColourFromBgr(label.colour));
            painter.drawText(label.rect,
                             static_cast<int>(label.align | Qt::AlignTop) | Qt::TextDontClip,
                             label.text);
        }
        painter.setBrush(Qt::NoBrush);
        for (const LayoutPreview::Border& border : preview_->borders) {
            if (!border.visible) {
                continue;
            }
            QPen pen(ColourFromBgr(border.colour), border.line_width);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawRect(border.rect);
        }
    }

private:
    const LayoutPreview* preview_ = nullptr;
};

PrintLayoutForm::PrintLayoutForm(SettingsRecord& settings, Prompts& prompts, QPrinter& printer,
                                 std::function<void()> print_setup, const QString& root_notes,
                                 bool notes_null, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      prompts_(prompts),
      printer_(printer),
      print_setup_(std::move(print_setup)) {
    setObjectName(QStringLiteral("PrintLayoutForm"));
    setWindowTitle(QStringLiteral("Print Layout"));
    guard_ = true;
    copy_ = lineara::LoadLayoutControls(settings_, root_notes, notes_null, locale_);

    auto* frame = new QGroupBox(QStringLiteral("Print Preview"), this);
    frame->setObjectName(QStringLiteral("PreviewFrame"));
    page_ = new PreviewPage(frame);
    auto* frame_layout = new QVBoxLayout(frame);
    frame_layout->addWidget(page_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    // All eight tabs in view at once, never behind scroll arrows.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    tabs_->addTab(TextItemPage(kPrintTitle, QStringLiteral("Lineara Title"),
                               QStringLiteral("Display Lineara Title"),
                               QStringLiteral("LinearaTitleFontButton")),
                  QStringLiteral("Title"));
    tabs_->addTab(
        TextItemPage(kPrintKennelName, QStringLiteral("Kennel Name"),
                     QStringLiteral("Display Kennel Name"), QStringLiteral("KennelNameFontButton")),
        QStringLiteral("Kennel"));
    tabs_->addTab(
        TextItemPage(kPrintKennelAddress, QStringLiteral("Kennel Address"),
                     QStringLiteral("Display Address"), QStringLiteral("KennelAddressFontButton")),
        QStringLiteral("Address"));
    tabs_->addTab(
        TextItemPage(kPrintNotes, QStringLiteral("Print Notes"),
                     QStringLiteral("Display Print Notes"), QStringLiteral("DogInfoFontButton")),
        QStringLiteral("Print Notes"));
    tabs_->addTab(
        TextItemPage(kPrintFootnote, QStringLiteral("Footnote"), QStringLiteral("Display Footnote"),
                     QStringLiteral("FootnoteFontButton")),
        QStringLiteral("Footnote"));
    tabs_->addTab(ChartPage(), QStringLiteral("Lineara"));
    tabs_->addTab(BorderPage(), QStringLiteral("Border"));
    tabs_->addTab(AdvancedPage(), QStringLiteral("Advanced"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* setup = new QPushButton(QStringLiteral("Print &Setup"), this);
    setup->setObjectName(QStringLiteral("PrintSetupButton"));
    connect(ok, &QPushButton::clicked, this, &PrintLayoutForm::Ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(setup, &QPushButton::clicked, this, [this] {
        print_setup_();
        RefreshPreview();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(setup);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* right = new QVBoxLayout;
    right->addWidget(tabs_, 1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    LoadLayoutControls();
    guard_ = false;
    RefreshPreview();
}

PrintLayoutForm::~PrintLayoutForm() = default;

QSlider* PrintLayoutForm::Slider(const QString& name, int* value) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setRange(0, 100);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    sliders_.emplace_back(slider, value);
    // The preview follows a dragged slider at once.
    connect(slider, &QSlider::valueChanged, this, [this, value](int v) {
        *value = v;
        RefreshPreview();
    });
    return slider;
}

QWidget* PrintLayoutForm::TextItemPage(int item, const QString& frame_caption,
                                       const QString& check_caption, const QString& font_button) {
    LayoutWorkingCopy::Item& working = copy_.items[static_cast<std::size_t>(item)];
    const QString prefix = QLatin1String(kItemNames[static_cast<std::size_t>(item)]);
    auto* frame = new QGroupBox(frame_caption);
    frame->setObjectName(QStringLiteral("TabStripFrame%1").arg(item + 1));
    auto* grid = new QGridLayout(frame);
    auto* check = new QCheckBox(check_caption, frame);
    check->setObjectName(prefix + QStringLiteral("CheckBox"));
    checks_[static_cast<std::size_t>(item)] = check;
    connect(check, &QCheckBox::toggled, this, [this, &working](bool on) {
        working.show = on;
        RefreshPreview();
    });
    grid->addWidget(check, 0, 0, 1, 2);
    if (item == kPrintNotes) {
        notes_label_ = new QLabel(frame);
        notes_label_->setObjectName(QStringLiteral("PrintNotesLabel"));
        notes_label_->setWordWrap(true);
        notes_label_->setFrameShape(QFrame::StyledPanel);
        notes_label_->setMinimumHeight(60);
        notes_label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(notes_label_, 1, 0, 1, 2);
    } else {
        auto* text = new LineBreakTextBox(frame);
        text->setObjectName(prefix + QStringLiteral("TextBox"));
        text->setTabChangesFocus(true);
        text->setMaximumHeight(item == kPrintKennelAddress ? 90 : 60);
        texts_[static_cast<std::size_t>(item)] = text;
        connect(text, &QPlainTextEdit::textChanged, this, [this, text, &working] {
            working.text = text->toPlainText();
            RefreshPreview();
        });
        grid->addWidget(text, 1, 0, 1, 2);
        if (item == kPrintKennelAddress) {
            const QString hint =
                QStringLiteral("Note: Use Ctrl-Enter to make a multi-line address");
            text->setToolTip(hint);
            auto* note = new QLabel(hint, frame);
            note->setObjectName(QStringLiteral("KennelAddressHint"));
            grid->addWidget(note, 2, 0, 1, 2);
        }
    }
    auto* font = new QPushButton(QStringLiteral("Font"), frame);
    font->setObjectName(font_button);
    connect(font, &QPushButton::clicked, this, [this, item] { ChooseItemFont(item); });
    grid->addWidget(font, 3, 0, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("Horiz. Position"), frame), 4, 0);
    grid->addWidget(Slider(prefix + QStringLiteral("HorizPosSlider"), &working.horiz), 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Vert. Position"), frame), 5, 0);
    grid->addWidget(Slider(prefix + QStringLiteral("VertPosSlider"), &working.vert), 5, 1);
    grid->setRowStretch(6, 1);
    return frame;
}

QWidget* PrintLayoutForm::ChartPage() {
    auto* frame = new QGroupBox(QStringLiteral("Lineara"));
    frame->setObjectName(QStringLiteral("TabStripFrame6"));
    auto* grid = new QGridLayout(frame);
    const std::pair<const char*, int*> rows[] = {{"Width", &copy_.chart_width},
                                                 {"Height", &copy_.chart_height},
                                                 {"Horiz. Position", &copy_.chart_horiz},
                                                 {"Vert. Position", &copy_.chart_vert}};
    const char* names[] = {"LinearaWidthSlider", "LinearaHeightSlider", "LinearaHorizPosSlider",
                           "LinearaVertPosSlider"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QLatin1String(rows[i].first), frame), i, 0);
        grid->addWidget(Slider(QLatin1String(names[i]), rows[i].second), i, 1);
    }
    auto* note = new QLabel(QStringLiteral("The lineara will print inside the area shown as a grey "
                                           "box in the print preview to the left."),
                            frame);
    note->setWordWrap(true);
    grid->addWidget(note, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    return frame;
}

QWidget* PrintLayoutForm::BorderPage() {
    auto* frame = new QGroupBox(QStringLiteral("Borders"));
    frame->setObjectName(QStringLiteral("TabStripFrame7"));
    auto* grid = new QGridLayout(frame);
    for (int k = 0; k < 2; ++k) {
        LayoutWorkingCopy::Border& border = copy_.borders[static_cast<std::size_t>(k)];
        const int row = k * 5;
        auto* title = new QLabel(QStringLiteral("BORDER %1").arg(k + 1), frame);
        title->setObjectName(QStringLiteral("BorderTitle%1").arg(k));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        border_titles_[static_cast<std::size_t>(k)] = title;
        grid->addWidget(title, row, 0);
        auto* colour = new QPushButton(QStringLiteral("Colour"), frame);
        colour->setObjectName(QStringLiteral("BorderColourButton%1").arg(k));
        connect(colour, &QPushButton::clicked, this, [this, k] { ChooseBorderColour(k); });
        grid->addWidget(colour, row, 1, Qt::AlignRight);
        grid->addWidget(new QLabel(QStringLiteral("Thickness"), frame), row + 1, 0);
        QSlider* thickness =
            Slider(QStringLiteral("BorderThicknessSlider%1").arg(k), &border.thickness);
        thickness->setToolTip(
            QStringLiteral("Set thickness = 0 (to the left) to disable printing this border"));
        grid->addWidget(thickness, row + 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("Width"), frame), row + 2, 0);
        grid->addWidget(Slider(QStringLiteral("BorderWidthSlider%1").arg(k), &border.width),
                        row + 2, 1);
        grid->addWidget(new QLabel(QStringLiteral("Height"), frame), row + 3, 0);
        grid->addWidget(Slider(QStringLiteral("BorderHeightSlider%1").arg(k), &border.height),
                        row + 3, 1);
        grid->setRowMinimumHeight(row + 4, 12);
    }
    grid->setRowStretch(10, 1);
    return frame;
}

QWidget* PrintLayoutForm::AdvancedPage() {
    auto* frame = new QGroupBox(QStringLiteral("Advanced"));
    frame->setObjectName(QStringLiteral("TabStripFrame8"));
    auto* grid = new QGridLayout(frame);
    const auto box = [&](const char* name, const char* caption, int row, bool scale) {
        auto* edit = new QLineEdit(frame);
        edit->setObjectName(QLatin1String(name));
        edit->setMaximumWidth(100);
        connect(edit, &QLineEdit::editingFinished, this,
                [this, edit, scale] { CalibrationLeft(edit, scale); });
        grid->addWidget(new QLabel(QLatin1String(caption), frame), row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    x_offset_ = box("XOffsetTextBox", "Right Offset (default 0)", 0, false);
    y_offset_ = box("YOffsetTextBox", "Down Offset (default 0)", 1, false);
    x_scale_ = box("XScaleTextBox", "Width Scale (default 1)", 2, true);
    y_scale_ = box("YScaleTextBox", "Height Scale (default 1)", 3, true);
    auto* note = new QLabel(
        QStringLiteral("Use these settings to \"tweak\" the size and location of your printout. "
                       "Offsets (in inches) move the entire printed area. Scales make the entire "
                       "printed area little bigger (>1) or smaller (<1)."),
        frame);
    note->setWordWrap(true);
    grid->addWidget(note, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    return frame;
}

void PrintLayoutForm::LoadLayoutControls() {
    // Filling the controls fires their change signals; the guard keeps the preview still.
    const LayoutWorkingCopy loaded = copy_;
    for (std::size_t i = 0; i < 5; ++i) {
        checks_[i]->setChecked(loaded.items[i].show);
        if (texts_[i] != nullptr) {
            texts_[i]->setPlainText(loaded.items[i].text);
        }
    }
    notes_label_->setText(loaded.items[kPrintNotes].text);
    copy_ = loaded;
    for (auto& [slider, value] : sliders_) {
        const int stored = *value;
        slider->setValue(stored);
        *value = stored;
    }
    x_offset_->setText(copy_.x_offset);
    y_offset_->setText(copy_.y_offset);
    x_scale_->setText(copy_.x_scale);
    y_scale_->setText(copy_.y_scale);
    ShowBorderTitles();
}

void PrintLayoutForm::ShowBorderTitles() {
    for (std::size_t k = 0; k < 2; ++k) {
        QPalette palette = border_titles_[k]->palette();
        palette.setColor(QPalette::WindowText, ColourFromBgr(copy_.borders[k].colour));
        border_titles_[k]->setPalette(palette);
    }
}

void PrintLayoutForm::RefreshPreview() {
    if (guard_) {
        return;
    }
    const QRectF paper = printer_.pageLayout().fullRectPoints();
    const QSizeF inches(paper.width() / 72.0, paper.height() / 72.0);
    // One measurer for the dialog's life: it keeps the metrics of the fonts it has seen, so
    // a dragged slider does not find them again at every step.
    if (!measure_) {
        measure_ = std::make_unique<FontTextMeasurer>(page_->logicalDpiY());
    }
    preview_ = lineara::RefreshPreview(copy_, inches, QSizeF(page_->size()), kPreviewLongSide,
                                       page_->logicalDpiX(), *measure_, locale_);
    ShowBorderTitles();
    page_->Show(&preview_);
}

void PrintLayoutForm::ChooseItemFont(int item) {
    LayoutWorkingCopy::Item& working = copy_.items[static_cast<std::size_t>(item)];
    const Prompts::FontChoice current{
        working.font.family, working.font.point_size, working.font.bold, working.font.italic,
        working.strikeout,   working.font.underline,  working.colour};
    const std::optional<Prompts::FontChoice> chosen = prompts_.ChooseFont(current);
    if (chosen) {
        working.font = {chosen->family, chosen->point_size, chosen->bold, chosen->italic,
                        chosen->underline};
        working.strikeout = chosen->strikeout;
        working.colour = chosen->colour;
    }
    RefreshPreview();
}

void PrintLayoutForm::ChooseBorderColour(int border) {
    LayoutWorkingCopy::Border& working = copy_.borders[static_cast<std::size_t>(border)];
    if (const std::optional<qint32> colour = prompts_.ChooseColour(working.colour)) {
        working.colour = *colour;
    }
    RefreshPreview();
}

void PrintLayoutForm::CalibrationLeft(QLineEdit* box, bool scale) {
    const QString corrected = scale ? CorrectedScaleText(box->text(), locale_)
                                    : CorrectedOffsetText(box->text(), locale_);
    if (corrected != box->text()) {
        box->setText(corrected);
    }
    copy_.x_offset = x_offset_->text();
    copy_.y_offset = y_offset_->text();
    copy_.x_scale = x_scale_->text();
    copy_.y_scale = y_scale_->text();
    RefreshPreview();
}

void PrintLayoutForm::Ok() {
    // A box still being typed in is corrected as if it had been left.
    CalibrationLeft(x_offset_, false);
    CalibrationLeft(y_offset_, false);
    CalibrationLeft(x_scale_, true);
    CalibrationLeft(y_scale_, true);
    guard_ = true;
    StoreLayoutControls(copy_, settings_, locale_);
    guard_ = false;
    accept();
}

}  // namespace lineara
