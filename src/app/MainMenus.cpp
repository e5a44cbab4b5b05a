#include "app/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace lineara {

namespace {

const char* const kAddlNames[] = {"None",   "CallName", "Description", "Certifications", "DOB",
                                  "CKCID",  "AKCID",    "OtherID",     "IC"};
const char* const kAddlCaptions[] = {"None",   "Call Name", "Description", "Certifications",
                                     "Date of Birth", "CKC ID", "AKC ID", "Other ID",
                                     "Inbreeding Coefficient"};

}  // namespace

MainMenus::MainMenus(QMainWindow* window) : QObject(window), window_(window) {
    QMenuBar* bar = window->menuBar();
    auto top = [&](const QString& name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menus_.insert(name, menu);
        return menu;
    };
    BuildFile(top(QStringLiteral("File"), QStringLiteral("&File")));
    BuildEdit(top(QStringLiteral("Edit"), QStringLiteral("&Edit")));
    BuildAnalysis(top(QStringLiteral("Analysis"), QStringLiteral("&Analysis")));
    BuildView(top(QStringLiteral("View"), QStringLiteral("&View")));
    BuildHelp(top(QStringLiteral("Help"), QStringLiteral("&Help")));
    BuildPopup();
}

QAction* MainMenus::Action(const QString& name) const { return actions_.value(name, nullptr); }

QAction* MainMenus::Add(QMenu* menu, const QString& name, const QString& caption) {
    auto* action = menu->addAction(caption);
    action->setObjectName(name);
    actions_.insert(name, action);
    return action;
}

QAction* MainMenus::AddCheck(QMenu* menu, const QString& name, const QString& caption, QActionGroup* group) {
    QAction* action = Add(menu, name, caption);
    action->setCheckable(true);
    if (group) {
        group->addAction(action);
    }
    return action;
}

QMenu* MainMenus::AddMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menus_.insert(name, menu);
    actions_.insert(name, menu->menuAction());
    return menu;
}

void MainMenus::BuildFile(QMenu* menu) {
    Add(menu, QStringLiteral("File_PrintSetup"), QStringLiteral("Print &Setup"));
    Add(menu, QStringLiteral("File_PrintLayout"), QStringLiteral("Print &Layout"));
    Add(menu, QStringLiteral("File_Print"), QStringLiteral("&Print"))->setShortcut(QKeySequence::Print);
    Add(menu, QStringLiteral("File_PrintPreview"), QStringLiteral("Print Previe&w"));
    Add(menu, QStringLiteral("File_ExportPdf"), QStringLiteral("&Export Certificate as PDF\u2026"));
    menu->addSeparator();
    QMenu* save = AddMenu(menu, QStringLiteral("File_Save"), QStringLiteral("Sa&ve Lineara"));
    Add(save, QStringLiteral("File_Save_Tabs"), QStringLiteral("Text file (with &tabs)"));
    Add(save, QStringLiteral("File_Save_Spaces"), QStringLiteral("Text file (with &spaces)"));
    Add(menu, QStringLiteral("File_ExportCsv"), QStringLiteral("Export &Dogs (CSV)\u2026"));
    Add(menu, QStringLiteral("File_ImportCsv"), QStringLiteral("Imp&ort Dogs (CSV)\u2026"));
    menu->addSeparator();
    Add(menu, QStringLiteral("File_DatabaseInfo"), QStringLiteral("Database &Information"));
    Add(menu, QStringLiteral("File_CleanDB"), QStringLiteral("C&lean-up Database"));
    Add(menu, QStringLiteral("File_LoadDB"), QStringLiteral("&Use a Different Database"));
    Add(menu, QStringLiteral("File_MergeDB"), QStringLiteral("&Merge Database"));
    Add(menu, QStringLiteral("File_NewDB"), QStringLiteral("&Create a New Database"));
    menu->addSeparator();
    Add(menu, QStringLiteral("File_Exit"), QStringLiteral("E&xit"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
}

void MainMenus::BuildEdit(QMenu* menu) {
    QMenu* copy = AddMenu(menu, QStringLiteral("Edit_Copy"), QStringLiteral("&Copy Lineara"));
    Add(copy, QStringLiteral("Edit_Copy_Text"), QStringLiteral("&Text Format (with tabs)"));
    Add(copy, QStringLiteral("Edit_Copy_Text_Spaces"), QStringLiteral("Text Format (with &spaces)"));
    Add(copy, QStringLiteral("Edit_Copy_HTML"), QStringLiteral("&HTML Format (table)"));
    menu->addSeparator();
    Add(menu, QStringLiteral("Edit_Add"), QStringLiteral("&Add New Dog"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    Add(menu, QStringLiteral("Edit_Delete"), QStringLiteral("&Delete Dog"));
    Add(menu, QStringLiteral("Edit_Find"), QStringLiteral("&Find Dog (by name)"))->setShortcut(QKeySequence::Find);
}

void MainMenus::BuildAnalysis(QMenu* menu) {
    Add(menu, QStringLiteral("Analysis_Offspring"), QStringLiteral("List &Offspring"));
    Add(menu, QStringLiteral("Analysis_Siblings"), QStringLiteral("List &Siblings"));
    Add(menu, QStringLiteral("Analysis_Lineara"), QStringLiteral("Lineara &Information"));
    Add(menu, QStringLiteral("Analysis_Inbreeding"), QStringLiteral("Inbreeding and Relationship &Report"));
    Add(menu, QStringLiteral("Analysis_TrialMating"), QStringLiteral("&Trial Mating…"));
    Add(menu, QStringLiteral("Analysis_BestSires"), QStringLiteral("&Best Sires for This Dam…"));
    Add(menu, QStringLiteral("Analysis_AllCoefficients"), QStringLiteral("Inbreeding Coefficients for &All Dogs…"));
    menu->addSeparator();
    Add(menu, QStringLiteral("Analysis_ClearIC"), QStringLiteral("&Clear All Inbreeding Coefficients"));
}

void MainMenus::BuildNameStyle(QMenu* menu, const QString& prefix) {
    Add(menu, prefix + QStringLiteral("_Font"), QStringLiteral("&Font Name"));
    menu->addSeparator();
    AddCheck(menu, prefix + QStringLiteral("_Uppercase"), QStringLiteral("U&ppercase"));
    AddCheck(menu, prefix + QStringLiteral("_Bold"), QStringLiteral("&Bold"));
    AddCheck(menu, prefix + QStringLiteral("_Italic"), QStringLiteral("&Italic"));
    AddCheck(menu, prefix + QStringLiteral("_Underline"), QStringLiteral("&Underline"));
    AddCheck(menu, prefix + QStringLiteral("_Colour"), QStringLiteral("&Colour"));
}

void MainMenus::BuildView(QMenu* menu) {
    // One-of-several items show as radio items; the groups allow "nothing checked", which is
    // what a group holds until the handlers (which check the clicked item and uncheck the
    // rest) or the settings put a mark in it.
    const auto group = [this] {
        auto* created = new QActionGroup(this);
        created->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        return created;
    };
    QMenu* country = AddMenu(menu, QStringLiteral("View_Country"), QStringLiteral("Am/Can Title Style"));
    QActionGroup* countries = group();
    AddCheck(country, QStringLiteral("View_Country_Am"), QStringLiteral("&American Title Style"), countries);
    AddCheck(country, QStringLiteral("View_Country_Can"), QStringLiteral("&Canadian Title Style"), countries);

    QMenu* gens = AddMenu(menu, QStringLiteral("View_NumGens"), QStringLiteral("Num &Generations Shown"));
    QActionGroup* generations = group();
    for (int g = 2; g <= 6; ++g) {
        AddCheck(gens, QStringLiteral("View_NumGens_%1").arg(g), QStringLiteral("&%1 Generations").arg(g),
                 generations);
    }

    BuildNameStyle(AddMenu(menu, QStringLiteral("View_ChampStyle"), QStringLiteral("&Champion Name Style")),
                   QStringLiteral("View_ChampStyle"));
    BuildNameStyle(AddMenu(menu, QStringLiteral("View_NotChStyle"), QStringLiteral("&Non-Champion Name Style")),
                   QStringLiteral("View_NotChStyle"));

    QMenu* addl = AddMenu(menu, QStringLiteral("View_Addl"), QStringLiteral("&Additional Information Text"));
    QActionGroup* infos = group();
    for (int i = 0; i <= 8; ++i) {
        AddCheck(addl, QStringLiteral("View_Addl_") + QLatin1String(kAddlNames[i]), QLatin1String(kAddlCaptions[i]),
                 infos);
        if (i == 0) {
            addl->addSeparator();
        }
    }

    QMenu* lines = AddMenu(menu, QStringLiteral("View_LineStyle"), QStringLiteral("&Line Style"));
    AddCheck(lines, QStringLiteral("View_LineStyle_ShowLines"), QStringLiteral("&Show Lines"));
    lines->addSeparator();
    QMenu* thickness = AddMenu(lines, QStringLiteral("View_LineStyle_Thickness"), QStringLiteral("&Thickness"));
    QActionGroup* widths = group();
    AddCheck(thickness, QStringLiteral("View_LineStyle_Thickness_Narrow"), QStringLiteral("&Narrow"), widths);
    AddCheck(thickness, QStringLiteral("View_LineStyle_Thickness_Medium"), QStringLiteral("&Medium"), widths);
    AddCheck(thickness, QStringLiteral("View_LineStyle_Thickness_Thick"), QStringLiteral("&Thick"), widths);
    QMenu* angle = AddMenu(lines, QStringLiteral("View_LineStyle_Angle"), QStringLiteral("&Angle"));
    QActionGroup* angles = group();
    AddCheck(angle, QStringLiteral("View_LineStyle_Angle_Diagonal"), QStringLiteral("&Diagonal"), angles);
    AddCheck(angle, QStringLiteral("View_LineStyle_Angle_Right"), QStringLiteral("&Right-Angles"), angles);
    Add(lines, QStringLiteral("View_LineStyle_Offset"), QStringLiteral("&Offset"));
    AddCheck(lines, QStringLiteral("View_LineStyle_Colour"), QStringLiteral("&Colour"));
    menu->addSeparator();
    AddCheck(menu, QStringLiteral("View_HighlightRepeats"), QStringLiteral("&Highlight Repeated Ancestors"));
}

void MainMenus::BuildHelp(QMenu* menu) {
    Add(menu, QStringLiteral("Help_Contents"), QStringLiteral("&Contents"))->setShortcut(QKeySequence::HelpContents);
    menu->addSeparator();
    Add(menu, QStringLiteral("Help_About"), QStringLiteral("&About"));
}

void MainMenus::BuildPopup() {
    popup_ = new QMenu(window_);
    popup_->setObjectName(QStringLiteral("Popup"));
    Add(popup_, QStringLiteral("Popup_Edit"), QStringLiteral("Edit this dog's information"));
    Add(popup_, QStringLiteral("Popup_Change"), QStringLiteral("Place another dog here"));
    Add(popup_, QStringLiteral("Popup_ToRoot"), QStringLiteral("Show this dog's lineara"));
    Add(popup_, QStringLiteral("Popup_Prune"), QStringLiteral("Prune this dog from this lineara"));
    Add(popup_, QStringLiteral("Popup_Delete"), QStringLiteral("Delete this dog from the database"));
}

bool MainMenus::Checked(const QString& name) const {
    const QAction* action = Action(name);
    return action && action->isChecked();
}

void MainMenus::SetChecked(const QString& name, bool checked) {
    if (QAction* action = Action(name)) {
        action->setChecked(checked);
    }
}

NameStyle MainMenus::ReadStyle(const QString& prefix) const {
    return {Checked(prefix + QStringLiteral("_Uppercase")), Checked(prefix + QStringLiteral("_Bold")),
            Checked(prefix + QStringLiteral("_Italic")), Checked(prefix + QStringLiteral("_Underline")),
            Checked(prefix + QStringLiteral("_Colour"))};
}

void MainMenus::ApplyStyle(const QString& prefix, const NameStyle& style) {
    SetChecked(prefix + QStringLiteral("_Uppercase"), style.uppercase);
    SetChecked(prefix + QStringLiteral("_Bold"), style.bold);
    SetChecked(prefix + QStringLiteral("_Italic"), style.italic);
    SetChecked(prefix + QStringLiteral("_Underline"), style.underline);
    SetChecked(prefix + QStringLiteral("_Colour"), style.use_colour);
}

ViewState MainMenus::CurrentView() const {
    ViewState view;
    view.american = Checked(QStringLiteral("View_Country_Am"));
    for (int g = 2; g <= 6; ++g) {
        if (Checked(QStringLiteral("View_NumGens_%1").arg(g))) {
            view.num_gens = g;
            break;
        }
    }
    view.champ = ReadStyle(QStringLiteral("View_ChampStyle"));
    view.not_champ = ReadStyle(QStringLiteral("View_NotChStyle"));
    view.additional_info = kAddlNone;
    for (int i = 0; i <= 8; ++i) {
        if (Checked(QStringLiteral("View_Addl_") + QLatin1String(kAddlNames[i]))) {
            view.additional_info = i;
            break;
        }
    }
    view.show_lines = Checked(QStringLiteral("View_LineStyle_ShowLines"));
    if (Checked(QStringLiteral("View_LineStyle_Thickness_Narrow"))) {
        view.line_thickness = 1;
    } else if (Checked(QStringLiteral("View_LineStyle_Thickness_Medium"))) {
        view.line_thickness = 2;
    } else if (Checked(QStringLiteral("View_LineStyle_Thickness_Thick"))) {
        view.line_thickness = 3;
    }
    view.diagonal = Checked(QStringLiteral("View_LineStyle_Angle_Diagonal"));
    view.line_use_colour = Checked(QStringLiteral("View_LineStyle_Colour"));
    view.highlight_repeats = Checked(QStringLiteral("View_HighlightRepeats"));
    return view;
}

void MainMenus::ApplyView(const ViewState& view) {
    SetChecked(QStringLiteral("View_Country_Am"), view.american);
    SetChecked(QStringLiteral("View_Country_Can"), !view.american);
    for (int g = 2; g <= 6; ++g) {
        SetChecked(QStringLiteral("View_NumGens_%1").arg(g), view.num_gens == g);
    }
    ApplyStyle(QStringLiteral("View_ChampStyle"), view.champ);
    ApplyStyle(QStringLiteral("View_NotChStyle"), view.not_champ);
    for (int i = 0; i <= 8; ++i) {
        SetChecked(QStringLiteral("View_Addl_") + QLatin1String(kAddlNames[i]), view.additional_info == i);
    }
    SetChecked(QStringLiteral("View_LineStyle_ShowLines"), view.show_lines);
    SetChecked(QStringLiteral("View_LineStyle_Thickness_Narrow"), view.line_thickness == 1);
    SetChecked(QStringLiteral("View_LineStyle_Thickness_Medium"), view.line_thickness == 2);
    SetChecked(QStringLiteral("View_LineStyle_Thickness_Thick"), view.line_thickness == 3);
    SetChecked(QStringLiteral("View_LineStyle_Angle_Diagonal"), view.diagonal);
    SetChecked(QStringLiteral("View_LineStyle_Angle_Right"), !view.diagonal);
    SetChecked(QStringLiteral("View_LineStyle_Colour"), view.line_use_colour);
    SetChecked(QStringLiteral("View_HighlightRepeats"), view.highlight_repeats);
    EnableLineItems(view.show_lines);
}

void MainMenus::EnableLineItems(bool enabled) {
    for (const char* name : {"View_LineStyle_Thickness", "View_LineStyle_Angle", "View_LineStyle_Offset",
                             "View_LineStyle_Colour"}) {
        if (QAction* action = Action(QLatin1String(name))) {
            action->setEnabled(enabled);
        }
    }
}

}  // namespace lineara
