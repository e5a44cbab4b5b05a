// The certificate of a filled six-generation chart: written as a PDF file and drawn as a
// 300 dpi image; and the layout editor's preview, which must keep up with a dragged slider.

#include "app/SettingsFile.h"
#include "chart/FontTextMeasurer.h"
#include "print/CertificateOutput.h"
#include "print/PrintLayoutPreview.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace lineara::bench {
namespace {

void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "bench_print";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QGuiApplication app(argc, argv);
    }
}

struct Chart {
    SettingsRecord settings = RestoreDefaultSettings();
    ViewState view = ViewStateFromSettings(settings);
    ChartModel model;

    Chart() {
        view.num_gens = 6;
        view.additional_info = kAddlCallName;
        for (int p = 1; p <= kMaxPositions; ++p) {
            model.SetEntry(
                p, {p,
                    p % 3 == 0,
                    QStringLiteral("BISS AM/CAN CH STONEBROOK NUMBER %1 OF THE LINE ROM").arg(p),
                    {},
                    QStringLiteral("Call %1").arg(p)});
        }
        settings.PrintItem[kPrintNotes].Show = 1;
        settings.PrintItem[kPrintNotes].Text = QStringLiteral("Best Puppy in Show at seven months");
    }
};

void BM_CertificatePdf(benchmark::State& state) {
    EnsureGuiApplication();
    const Chart chart;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("certificate.pdf"));
    for (auto _ : state) {
        const QString error = WriteCertificatePdf(path, DefaultCertificatePage(), chart.model,
                                                  chart.view, chart.settings);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_CertificatePdf)->Unit(benchmark::kMillisecond);

void BM_CertificateImage300(benchmark::State& state) {
    EnsureGuiApplication();
    const Chart chart;
    for (auto _ : state) {
        const QImage image = RenderCertificateImage(DefaultCertificatePage(), 300, chart.model,
                                                    chart.view, chart.settings);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_CertificateImage300)->Unit(benchmark::kMillisecond);

void BM_RefreshPreview(benchmark::State& state) {
    EnsureGuiApplication();
    const QLocale locale(QLocale::C);
    LayoutWorkingCopy copy = LoadLayoutControls(
        RestoreDefaultSettings(), QStringLiteral("Best Puppy in Show"), false, locale);
    const FontTextMeasurer measure(96);
    int slider = 0;
    for (auto _ : state) {
        copy.items[kPrintTitle].horiz = slider++ % 101;  // as a dragged slider does
        const LayoutPreview preview =
            RefreshPreview(copy, {8.5, 11}, {420, 420}, 400, 96, measure, locale);
        benchmark::DoNotOptimize(preview.labels[0].rect);
    }
}
BENCHMARK(BM_RefreshPreview)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lineara::bench
