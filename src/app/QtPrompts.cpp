#include "app/QtPrompts.h"

#include "app/Colours.h"
#include "chart/ChooseFontForm.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "print/PrintFontDialog.h"
#include <QPushButton>

namespace lineara {

namespace {

// While the hourglass shows (start-up, long operations), a question still gets the normal
// pointer for as long as it is on the screen.
class NormalPointer {
public:
    NormalPointer() : active_(QApplication::overrideCursor() != nullptr) {
        if (active_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~NormalPointer() {
        if (active_) {
            QApplication::restoreOverrideCursor();
        }
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool active_;
};

// File dialogs open large enough to read a folder of kennel files without resizing.
constexpr QSize kFileDialogSize(760, 480);

}  // namespace

QWidget* QtPrompts::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (default_parent_) {
        return default_parent_;
    }
    return QApplication::activeWindow();
}

Prompts::Answer QtPrompts::Message(const QString& title, const QString& text, Buttons buttons,
                                   Icon icon) {
    const NormalPointer pointer;
    QMessageBox box(Parent());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            // Cancel can be the answer that throws a record away (the duplicate-name
            // question), so a stray Escape answers No, which changes nothing.
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    // A short text makes a box too narrow for its title ("Merge Complete" showed as
    // "M... te"). Added last: setting the icon or the buttons lays the box out anew.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int title_width = box.fontMetrics().horizontalAdvance(title) + 140;
        grid->addItem(new QSpacerItem(title_width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            // Escape or the close box: the most cautious answer the box offers.
            if (buttons == Buttons::YesNo) {
                return Answer::No;
            }
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::Input(const QString& title, const QString& prompt,
                                        const QString& initial) {
    const NormalPointer pointer;
    bool ok = false;
    const QString text =
        QInputDialog::getText(Parent(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

QString QtPrompts::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
                if (!patterns.contains(variant)) {
                    patterns << variant;
                }
            }
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

// The dialog's detail view squeezes Size, Type and Date Modified into narrow columns whose
// texts end in "..."; they get the width of their contents and the name takes the rest.
void WidenDetailColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        return;
    }
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

}  // namespace

QString QtPrompts::OpenFile(const FileRequest& request) {
    const NormalPointer pointer;
    QFileDialog dialog(Parent(), request.title, request.directory, QtFilter(request.filter));
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.resize(kFileDialogSize);
    WidenDetailColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

QString QtPrompts::SaveFile(const FileRequest& request) {
    const NormalPointer pointer;
    QFileDialog dialog(Parent(), request.title, request.directory, QtFilter(request.filter));
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.default_suffix);
    dialog.resize(kFileDialogSize);
    WidenDetailColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

std::optional<QString> QtPrompts::ChooseFontName(const QString& current,
                                                 const QStringList& families) {
    const NormalPointer pointer;
    ChooseFontForm form(families, current, Parent());
    if (form.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return form.SelectedFont();
}

std::optional<qint32> QtPrompts::ChooseColour(qint32 colour) {
    const NormalPointer pointer;
    const QColor chosen = QColorDialog::getColor(ColourFromBgr(colour), Parent());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return BgrFromColour(chosen);
}

void QtPrompts::Beep() {
    QApplication::beep();
}

std::optional<Prompts::PrintChoice> QtPrompts::ChoosePrinter(QPrinter& printer,
                                                             bool offer_selection) {
    const NormalPointer pointer;
    QPrintDialog dialog(&printer, Parent());
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offer_selection);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return PrintChoice{offer_selection && dialog.printRange() == QAbstractPrintDialog::Selection};
}

std::optional<Prompts::FontChoice> QtPrompts::ChooseFont(const FontChoice& current) {
    const NormalPointer pointer;
    PrintFontDialog dialog(current, Parent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

bool QtPrompts::SetUpPage(QPrinter& printer) {
    const NormalPointer pointer;
    QPageSetupDialog dialog(&printer, Parent());
    dialog.setObjectName(QStringLiteral("PageSetupDialog"));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace lineara
