#include "exchange/CsvImportForm.h"

#include "app/Prompts.h"
#include "app/QtRepaintNow.h"
#include "exchange/CsvReader.h"
#include "store/DogSchema.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lineara {

namespace {

QString DelimiterName(QChar delimiter) {
    if (delimiter == QLatin1Char(';')) {
        return QStringLiteral("semicolons");
    }
    if (delimiter == QLatin1Char('\t')) {
        return QStringLiteral("tabs");
    }
    return QStringLiteral("commas");
}

QString Plural(qint64 count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// Every place a column can go: nowhere, each field of the dog record but the scratch fields,
// and the parents' names.
std::vector<int> Targets() {
    std::vector<int> targets{kNoTarget};
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        if (field != Field::SystemUseLongInt && field != Field::SystemUseText) {
            targets.push_back(i);
        }
    }
    targets.push_back(kSireNameTarget);
    targets.push_back(kDamNameTarget);
    return targets;
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QStringList ProblemLines(const std::vector<CsvImportProblem>& found, int limit) {
    // In the file's order: the parents' problems are found after every row has been read.
    std::vector<CsvImportProblem> problems = found;
    std::stable_sort(problems.begin(), problems.end(),
                     [](const CsvImportProblem& a, const CsvImportProblem& b) { return a.row < b.row; });
    QStringList lines;
    for (const CsvImportProblem& problem : problems) {
        if (lines.size() == limit) {
            lines << QStringLiteral("\u2026 and %1 more.").arg(Plural(
                         static_cast<qint64>(problems.size()) - limit, "problem", "problems"));
            break;
        }
        lines << QStringLiteral("Row %1: %2").arg(problem.row).arg(problem.text);
    }
    return lines;
}

CsvImportForm::CsvImportForm(DogDatabase& database, const QString& path, Prompts& prompts,
                             std::function<void(qint32)> show_merged, QWidget* parent)
    : QDialog(parent),
      database_(database),
      path_(path),
      prompts_(prompts),
      show_merged_(std::move(show_merged)) {
    setObjectName(QStringLiteral("CsvImportForm"));
    setWindowTitle(QStringLiteral("Import Dogs (CSV)"));
    {
        CsvReader reader(path_);
        QStringList fields;
        if (!reader.Next(fields)) {
            throw CsvError(path_, QStringLiteral("The file is empty."));
        }
        for (const QString& heading : fields) {
            headings_ << heading.trimmed();
        }
    }

    file_label_ = new QLabel(this);
    file_label_->setObjectName(QStringLiteral("FileLabel"));
    file_label_->setWordWrap(true);
    file_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    mapping_table_ = new QTableWidget(static_cast<int>(headings_.size()), 2, this);
    mapping_table_->setObjectName(QStringLiteral("Mapping"));
    mapping_table_->setHorizontalHeaderLabels({QStringLiteral("Column in the file"), QStringLiteral("Imported as")});
    mapping_table_->verticalHeader()->hide();
    mapping_table_->setSelectionMode(QAbstractItemView::NoSelection);
    mapping_table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const std::vector<int> targets = Targets();
    for (int c = 0; c < static_cast<int>(headings_.size()); ++c) {
        auto* heading = new QTableWidgetItem(headings_.at(c).isEmpty() ? QStringLiteral("(no heading)") : headings_.at(c));
        mapping_table_->setItem(c, 0, heading);
        auto* combo = new QComboBox(mapping_table_);
        combo->setObjectName(QStringLiteral("Map%1").arg(c));
        for (const int target : targets) {
            combo->addItem(TargetName(target), target);
        }
        combo->setMaxVisibleItems(20);
        mapping_table_->setCellWidget(c, 1, combo);
        combos_.push_back(combo);
        connect(combo, &QComboBox::activated, this, [this, c, combo] { MapColumn(c, combo->currentData().toInt()); });
    }
    mapping_table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    mapping_table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    rows_table_ = new QTableWidget(this);
    rows_table_->setObjectName(QStringLiteral("PreviewRows"));
    rows_table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_table_->verticalHeader()->hide();

    problems_ = new QListWidget(this);
    problems_->setObjectName(QStringLiteral("Problems"));

    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("Counts"));
    counts_->setWordWrap(true);

    import_ = new QPushButton(QStringLiteral("&Import"), this);
    import_->setObjectName(QStringLiteral("ImportButton"));
    import_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(import_, &QPushButton::clicked, this, &CsvImportForm::Import);

    auto* mapping_box = new QGroupBox(QStringLiteral("&Columns"), this);
    auto* mapping_layout = new QVBoxLayout(mapping_box);
    mapping_layout->addWidget(mapping_table_);
    auto* rows_box = new QGroupBox(QStringLiteral("First rows, as they will be imported"), this);
    auto* rows_layout = new QVBoxLayout(rows_box);
    rows_layout->addWidget(rows_table_);
    auto* problems_box = new QGroupBox(QStringLiteral("&Problems"), this);
    auto* problems_layout = new QVBoxLayout(problems_box);
    problems_layout->addWidget(problems_);

    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(rows_box);
    right->addWidget(problems_box);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(mapping_box);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({330, 620});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(counts_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file_label_);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    RunPreview();
    resize(980, 640);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(size().boundedTo(available.size()));
        move(available.center() - rect().center());
    }
}

void CsvImportForm::SetText(const QString& text) {
    counts_->setText(text);
    Repaint();
}

void CsvImportForm::Repaint() { RepaintNow(counts_); }

void CsvImportForm::MapColumn(int column, int target) {
    if (column < 0 || column >= static_cast<int>(headings_.size())) {
        return;
    }
    mapping_.insert(headings_.at(column), target);
    RunPreview();
}

// Runs the whole import with the current mapping and rolls it back: the problems and counts
// the user sees are the ones the import gives.
void CsvImportForm::RunPreview() {
    CsvImportOptions options;
    options.mapping = mapping_;
    options.dry_run = true;
    options.cleanup = false;
    MaintenanceHooks hooks;
    preview_error_.clear();
    {
        WaitCursor wait;
        try {
            preview_ = ImportDogsCsv(database_, path_, options, hooks);
        } catch (const CsvError& error) {
            preview_ = CsvImportResult();
            preview_error_ = error.Reason();
        } catch (const StoreError& error) {
            preview_ = CsvImportResult();
            preview_error_ = error.Reason();
        }
    }
    ShowPreview();
}

void CsvImportForm::ShowPreview() {
    file_label_->setText(
        preview_error_.isEmpty() && !preview_.encoding.isEmpty()
            ? QStringLiteral("%1\nColumns separated by %2; text in %3.")
                  .arg(QDir::toNativeSeparators(path_), DelimiterName(preview_.delimiter), preview_.encoding)
            : QDir::toNativeSeparators(path_));
    // The lists show what the import does with each column, including a second column on a
    // field that is left out.
    for (int c = 0; c < static_cast<int>(combos_.size()); ++c) {
        int target = TargetForHeading(headings_.at(c));
        if (c < static_cast<int>(preview_.targets.size())) {
            target = preview_.targets[static_cast<std::size_t>(c)];
        } else if (mapping_.contains(headings_.at(c))) {
            target = mapping_.value(headings_.at(c));
        }
        QComboBox* combo = combos_[static_cast<std::size_t>(c)];
        combo->setCurrentIndex(std::max(0, combo->findData(target)));
        QFont font = mapping_table_->item(c, 0)->font();
        font.setItalic(target == kNoTarget);
        mapping_table_->item(c, 0)->setFont(font);
        mapping_table_->item(c, 0)->setForeground(target == kNoTarget ? palette().color(QPalette::Disabled, QPalette::Text)
                                                                      : palette().color(QPalette::Text));
    }

    std::vector<int> shown;
    QStringList labels;
    for (int c = 0; c < static_cast<int>(preview_.targets.size()); ++c) {
        if (preview_.targets[static_cast<std::size_t>(c)] != kNoTarget) {
            shown.push_back(c);
            labels << TargetName(preview_.targets[static_cast<std::size_t>(c)]);
        }
    }
    rows_table_->clear();
    rows_table_->setColumnCount(static_cast<int>(shown.size()));
    rows_table_->setRowCount(static_cast<int>(preview_.preview.size()));
    rows_table_->setHorizontalHeaderLabels(labels);
    for (int r = 0; r < static_cast<int>(preview_.preview.size()); ++r) {
        const QStringList& row = preview_.preview[static_cast<std::size_t>(r)];
        for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
            const int c = shown[static_cast<std::size_t>(i)];
            auto* item = new QTableWidgetItem(c < row.size() ? row.at(c).left(200) : QString());
            rows_table_->setItem(r, i, item);
        }
    }
    rows_table_->resizeColumnsToContents();
    for (int i = 0; i < rows_table_->columnCount(); ++i) {
        rows_table_->setColumnWidth(i, std::min(rows_table_->columnWidth(i), 240));
    }

    problems_->clear();
    if (!preview_error_.isEmpty()) {
        problems_->addItem(preview_error_);
    } else if (preview_.problems.empty()) {
        problems_->addItem(QStringLiteral("No problems found."));
    } else {
        problems_->addItems(ProblemLines(preview_.problems, 5000));
    }

    if (!preview_error_.isEmpty()) {
        counts_->setText(QStringLiteral("Nothing can be imported: %1").arg(preview_error_));
        import_->setEnabled(false);
        return;
    }
    QString counts = QStringLiteral("%1 will be imported as new dogs")
                         .arg(Plural(preview_.imported, "row", "rows"));
    if (preview_.skipped > 0) {
        counts += QStringLiteral(", %1 (no registered name)").arg(Plural(preview_.skipped, "row is skipped", "rows are skipped"));
    }
    counts += QStringLiteral("; %1. Apparent duplicates are then looked for, as in a database clean-up.")
                  .arg(Plural(preview_.parents_linked, "parent is linked", "parents are linked"));
    counts_->setText(counts);
    import_->setEnabled(preview_.imported > 0);
}

void CsvImportForm::Import() {
    import_->setEnabled(false);
    cancel_->setEnabled(false);
    for (QComboBox* combo : combos_) {
        combo->setEnabled(false);
    }
    CsvImportOptions options;
    options.mapping = mapping_;
    MaintenanceHooks hooks;
    hooks.prompts = &prompts_;
    hooks.progress = this;
    hooks.fail_after = fail_after;
    hooks.show_merged = show_merged_;
    hooks.repaint = [this] { Repaint(); };
    SetText(QStringLiteral("Importing %1\u2026").arg(Plural(preview_.imported, "dog", "dogs")));
    QString failure;
    {
        WaitCursor wait;
        try {
            result_ = ImportDogsCsv(database_, path_, options, hooks);
        } catch (const CsvError& error) {
            failure = QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(error.File()), error.Reason());
        } catch (const StoreError& error) {
            failure = QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(error.File()), error.Reason());
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    if (!failure.isEmpty()) {
        prompts_.Message(windowTitle(), failure + QStringLiteral("\n\nThe current database was not changed."),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        reject();
        return;
    }
    completed_ = true;
    QString text = QStringLiteral("%1 imported from\n%2")
                       .arg(Plural(result_.imported, "dog", "dogs"), QDir::toNativeSeparators(path_));
    if (result_.skipped > 0) {
        text += QStringLiteral("\n%1 without a registered name skipped.").arg(Plural(result_.skipped, "row", "rows"));
    }
    text += QStringLiteral("\n%1.").arg(Plural(result_.parents_linked, "parent linked", "parents linked"));
    if (result_.cleanup.merged + result_.cleanup.deleted > 0) {
        text += QStringLiteral("\nClean-up: %1 merged, %2 deleted.").arg(result_.cleanup.merged).arg(result_.cleanup.deleted);
    }
    prompts_.Message(QStringLiteral("Import Complete"), text);
    accept();
}

}  // namespace lineara
