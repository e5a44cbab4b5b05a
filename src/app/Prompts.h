#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QPageLayout;
class QPrinter;

namespace lineara {

// Every message box, question, input box, file, font and colour dialog and beep the program
// shows goes through this interface. The desktop program uses the Qt implementation; tests
// use a scripted one that records what was asked and answers from a script.
class Prompts {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    // A file dialog. The filter uses the "Description|*.EXT" form; extensions match in any
    // letter case.
    struct FileRequest {
        QString title;
        QString filter;
        QString directory;
        QString default_suffix;
    };

    virtual ~Prompts() = default;

    virtual Answer Message(const QString& title, const QString& text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None) = 0;
    // Text typed by the user, or nothing when cancelled.
    virtual std::optional<QString> Input(const QString& title, const QString& prompt,
                                         const QString& initial) = 0;
    // Full path of an existing file chosen by the user; empty when cancelled.
    virtual QString OpenFile(const FileRequest& request) = 0;
    // Full path to save to (the user has agreed to replace an existing file); empty when
    // cancelled.
    virtual QString SaveFile(const FileRequest& request) = 0;
    // A font family chosen from `families`, starting on `current`; nothing when cancelled.
    virtual std::optional<QString> ChooseFontName(const QString& current,
                                                  const QStringList& families) = 0;
    // A colour (0x00BBGGRR) chosen starting from `colour`; nothing when cancelled.
    virtual std::optional<qint32> ChooseColour(qint32 colour) = 0;
    virtual void Beep() = 0;

    // A font with its effects and colour, as a printed text uses it.
    struct FontChoice {
        QString family;
        double point_size = 12;
        bool bold = false;
        bool italic = false;
        bool strikeout = false;
        bool underline = false;
        qint32 colour = 0;  // 0x00BBGGRR

        bool operator==(const FontChoice&) const = default;
    };
    // The font dialog with effects and colour; nothing when cancelled.
    virtual std::optional<FontChoice> ChooseFont(const FontChoice& current) {
        (void)current;
        return std::nullopt;
    }

    // What the user chose in the print dialog.
    struct PrintChoice {
        // Only the selected text (offered when the caller says there is a selection).
        bool selection_only = false;
    };
    // The print dialog over the printer, which keeps the user's choice of printer, file and
    // copies; nothing when cancelled. Page ranges are not offered.
    virtual std::optional<PrintChoice> ChoosePrinter(QPrinter& printer, bool offer_selection) = 0;
    // The page set-up dialog (paper size and orientation) over the printer; false when
    // cancelled, and the printer keeps its page then.
    virtual bool SetUpPage(QPrinter& printer) = 0;
};

}  // namespace lineara
