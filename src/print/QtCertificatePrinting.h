#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"
#include "print/ChartExport.h"

#include <QPrinter>

#include <functional>
#include <memory>

class QWidget;

namespace lineara {

class RecordStore;

// The print and export commands of the main window. The printer lives for the whole run, so
// the printer and page chosen once stay chosen.
class QtCertificatePrinting {
public:
    QtCertificatePrinting(AppState& state, Prompts& prompts, RecordStore& store,
                          const ChartModel& model, std::function<ViewState()> current_view,
                          QWidget* parent);

    // File > Print: the print dialog, then the page; cancel prints nothing and says nothing.
    void Print();
    // File > Print Setup: paper size and orientation for the printout and the layout preview.
    void PrintSetup();
    // File > Print Preview: the real page in a window that can zoom and print.
    void PrintPreview();
    // File > Export Certificate as PDF.
    void ExportPdf();
    // File > Save Lineara (tabs or spaces).
    void SaveChartText(ExportFormat format);
    // Edit > Copy Lineara: the text on the clipboard; the HTML form also as HTML.
    void ExportChart(ExportFormat format);

    QPrinter& Printer() { return printer_; }

private:
    void ReportFailure(const QString& reason);

    AppState& state_;
    Prompts& prompts_;
    RecordStore& store_;
    const ChartModel& model_;
    std::function<ViewState()> current_view_;
    QWidget* parent_;
    QPrinter printer_{QPrinter::HighResolution};
};

}  // namespace lineara
