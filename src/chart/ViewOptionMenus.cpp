#include "chart/ViewOptionMenus.h"

#include "chart/LnrLineOffsetSliderForm.h"

#include <QAction>
#include <QFontDatabase>

namespace lineara {

namespace {

QStringList Names(const char* prefix, const QStringList& suffixes) {
    QStringList names;
    for (const QString& suffix : suffixes) {
        names << QLatin1String(prefix) + suffix;
    }
    return names;
}

}  // namespace

ViewOptionMenus::ViewOptionMenus(MainMenus& menus, SettingsRecord& settings, Prompts& prompts,
                                 Callbacks callbacks, QWidget* window)
    : QObject(window), menus_(menus), settings_(settings), prompts_(prompts),
      callbacks_(std::move(callbacks)), window_(window) {
    const auto connect_group = [this](const QStringList& group, const std::function<void()>& then) {
        for (const QString& name : group) {
            connect(Action(name), &QAction::triggered, this, [this, group, name, then] { Exclusive(group, name, then); });
        }
    };
    connect_group(Names("View_Country_", {"Am", "Can"}), callbacks_.refill);
    connect_group(Names("View_NumGens_", {"2", "3", "4", "5", "6"}), callbacks_.refill);
    connect_group(Names("View_Addl_", {"None", "CallName", "Description", "Certifications", "DOB", "CKCID",
                                       "AKCID", "OtherID", "IC"}),
                  callbacks_.refill);
    connect_group(Names("View_LineStyle_Thickness_", {"Narrow", "Medium", "Thick"}), callbacks_.redraw);
    connect_group(Names("View_LineStyle_Angle_", {"Diagonal", "Right"}), callbacks_.redraw);

    for (const char* style : {"View_ChampStyle_", "View_NotChStyle_"}) {
        for (const char* item : {"Uppercase", "Bold", "Italic", "Underline"}) {
            connect(Action(QLatin1String(style) + QLatin1String(item)), &QAction::triggered, this,
                    [this] { callbacks_.redraw(); });
        }
    }
    connect(Action(QStringLiteral("View_ChampStyle_Colour")), &QAction::triggered, this,
            [this] { Colour(QStringLiteral("View_ChampStyle_Colour"), settings_.ChampColour); });
    connect(Action(QStringLiteral("View_NotChStyle_Colour")), &QAction::triggered, this,
            [this] { Colour(QStringLiteral("View_NotChStyle_Colour"), settings_.NotChColour); });
    connect(Action(QStringLiteral("View_LineStyle_Colour")), &QAction::triggered, this,
            [this] { Colour(QStringLiteral("View_LineStyle_Colour"), settings_.LineColour); });
    connect(Action(QStringLiteral("View_ChampStyle_Font")), &QAction::triggered, this,
            [this] { Font(settings_.ChampFontName); });
    connect(Action(QStringLiteral("View_NotChStyle_Font")), &QAction::triggered, this,
            [this] { Font(settings_.NotChFontName); });
    connect(Action(QStringLiteral("View_LineStyle_ShowLines")), &QAction::triggered, this, [this](bool shown) {
        menus_.EnableLineItems(shown);
        callbacks_.redraw();
    });
    connect(Action(QStringLiteral("View_LineStyle_Offset")), &QAction::triggered, this, &ViewOptionMenus::Offset);
}

void ViewOptionMenus::Exclusive(const QStringList& group, const QString& chosen, const std::function<void()>& then) {
    for (const QString& name : group) {
        Action(name)->setChecked(name == chosen);
    }
    then();
}

void ViewOptionMenus::FlagClicked() {
    QAction* american = Action(QStringLiteral("View_Country_Am"));
    QAction* canadian = Action(QStringLiteral("View_Country_Can"));
    // Both marks swap; read them first, since the menu group unchecks one as the other is set.
    const bool was_american = american->isChecked();
    const bool was_canadian = canadian->isChecked();
    american->setChecked(!was_american);
    canadian->setChecked(!was_canadian);
    callbacks_.refill();
}

void ViewOptionMenus::Colour(const QString& item, qint32& colour) {
    QAction* action = Action(item);
    if (!action->isChecked()) {
        callbacks_.redraw();
        return;
    }
    const auto chosen = prompts_.ChooseColour(colour);
    if (!chosen) {
        action->setChecked(false);
        return;
    }
    colour = *chosen;
    callbacks_.redraw();
}

void ViewOptionMenus::Font(QString& font_name) {
    const auto chosen = prompts_.ChooseFontName(font_name.trimmed(), QFontDatabase::families());
    if (chosen && chosen->trimmed() != font_name.trimmed()) {
        font_name = chosen->trimmed();
        callbacks_.redraw();
    }
}

void ViewOptionMenus::Offset() {
    LnrLineOffsetSliderForm form(settings_.LineOffset, callbacks_.redraw, window_);
    form.exec();
}

}  // namespace lineara
