// LINEARA: pedigrees for dog breeders and exhibitors.

#include "app/AppState.h"
#include "app/MainLinearaForm.h"
#include "app/QtLayoutUpgrade.h"
#include "app/QtPrompts.h"
#include "app/SplashForm.h"
#include "app/Startup.h"
#include "maintenance/Lnr3ImportForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LINEARA"));
    QApplication::setApplicationVersion(QStringLiteral("4.0.6"));

    // "lineara [FILE]": FILE is a database to open instead of the last one (the desktop entry
    // passes the file the user opened in the file manager).
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("LINEARA: pedigrees for dog breeders and exhibitors."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A LINEARA database (.mdb) to open instead of the last one."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);

    lineara::AppState state;
    state.working_directory = QDir::currentPath();
    lineara::QtPrompts prompts;

    // The hourglass shows for as long as the splash window is up.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lineara::SplashForm splash;
    splash.ShowAndPaint();
    prompts.SetDefaultParent(&splash);

    // A database of an earlier layout is upgraded as it is opened, after telling the user.
    lineara::QtLayoutUpgrade upgrade(prompts);
    lineara::ScopedLayoutUpgradePolicy upgrade_policy(&upgrade);

    lineara::Startup startup(state, prompts);
    if (!parser.positionalArguments().isEmpty()) {
        startup.SetRequestedDatabase(parser.positionalArguments().constFirst());
    }
    startup.SetImporter([&](const std::function<void()>& release_current) {
        lineara::Lnr3ImportForm form(state, prompts, &splash);
        return form.Run(release_current);
    });
    auto store = startup.Run();
    if (!store) {
        QApplication::restoreOverrideCursor();
        return 0;
    }

    splash.update();
    QApplication::processEvents();
    lineara::MainLinearaForm window(state, prompts, std::move(store));
    prompts.SetDefaultParent(&window);
    window.Load();
    window.showMaximized();
    splash.close();
    QApplication::restoreOverrideCursor();
    return QApplication::exec();
}
