#include "analysis/LinearaInformation.h"

#include "analysis/Ancestry.h"

#include <QCursor>
#include <QGuiApplication>

namespace lineara {

namespace {

// The wait cursor for as long as the count runs, restored however it ends.
class WaitCursor {
public:
    WaitCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            active_ = true;
        }
    }
    ~WaitCursor() {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_ = false;
};

}  // namespace

void ShowLinearaInformation(DogDatabase& database, Prompts& prompts, qint32 root, const QString& root_name,
                            const std::function<void(qint32)>& make_root) {
    if (prompts.Message(QStringLiteral("Lineara Analysis"),
                        QStringLiteral("This may take a very long time.  Do you want to proceed anyway?"),
                        Prompts::Buttons::YesNo) != Prompts::Answer::Yes) {
        return;
    }
    AncestryFigures figures;
    {
        WaitCursor wait;
        figures = CountAncestry(database, root);
    }
    if (!figures.limit_reached) {
        prompts.Message(QStringLiteral("Lineara Information"), InformationText(root_name, figures));
        return;
    }
    prompts.Message(QStringLiteral("Possible Recursive Entry"), RecursiveEntryText(root_name), Prompts::Buttons::Ok,
                    Prompts::Icon::Exclamation);
    // A line of a hundred distinct dogs has no repeat to show.
    const std::optional<LineRepeat> repeat = FindRepeat(figures.line);
    if (!repeat) {
        return;
    }
    const QString text =
        RecursiveLineText(figures.line, *repeat, [&](qint32 id) { return RegNameOf(database, id); });
    if (prompts.Message(QStringLiteral("Recursive Line"), text, Prompts::Buttons::YesNo) == Prompts::Answer::Yes) {
        make_root(LoopEntryDog(figures.line, *repeat));
    }
}

}  // namespace lineara
