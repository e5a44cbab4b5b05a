#pragma once

#include "app/Prompts.h"

#include <QPageLayout>

#include <deque>
#include <optional>
#include <vector>

namespace lineara::test {

// Test double of the prompt seam: records every prompt and answers from a script.
// Unscripted prompts get the most cautious answer (Cancel, No, nothing chosen).
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Font, Colour, Beep, Print, PageSetup };

    struct Shown {
        Kind kind;
        QString title;
        QString text;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        FileRequest file;
        QString initial;
    };

    void AnswerMessage(Answer answer) { messages_.push_back(answer); }
    void AnswerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void AnswerOpenFile(const QString& path) { files_.push_back(path); }
    void AnswerSaveFile(const QString& path) { files_.push_back(path); }
    void AnswerFont(std::optional<QString> font) { fonts_.push_back(std::move(font)); }
    void AnswerColour(std::optional<qint32> colour) { colours_.push_back(colour); }
    void AnswerFontChoice(std::optional<FontChoice> font) { font_choices_.push_back(std::move(font)); }
    // The print dialog "prints" to this PDF file (nothing = Cancel).
    void AnswerPrint(std::optional<QString> pdf_path, bool selection_only = false) {
        prints_.push_back({std::move(pdf_path), selection_only});
    }
    // The page set-up dialog applies this page (nothing = Cancel).
    void AnswerPageSetup(std::optional<QPageLayout> layout) { pages_.push_back(std::move(layout)); }

    const std::vector<Shown>& AllShown() const { return shown_; }
    std::vector<Shown> ShownOfKind(Kind kind) const;
    // Titles of the message boxes shown, in order.
    QStringList MessageTitles() const;
    const Shown* LastMessage() const;
    int Beeps() const;
    void Clear() { shown_.clear(); }
    // True when every scripted answer was used.
    bool ScriptUsedUp() const;

    Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> Input(const QString& title, const QString& prompt,
                                 const QString& initial) override;
    QString OpenFile(const FileRequest& request) override;
    QString SaveFile(const FileRequest& request) override;
    std::optional<QString> ChooseFontName(const QString& current,
                                          const QStringList& families) override;
    std::optional<qint32> ChooseColour(qint32 colour) override;
    std::optional<FontChoice> ChooseFont(const FontChoice& current) override;
    void Beep() override;
    std::optional<PrintChoice> ChoosePrinter(QPrinter& printer, bool offer_selection) override;
    bool SetUpPage(QPrinter& printer) override;

private:
    struct PrintAnswer {
        std::optional<QString> pdf_path;
        bool selection_only = false;
    };

    std::vector<Shown> shown_;
    std::deque<Answer> messages_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<QString> files_;
    std::deque<std::optional<QString>> fonts_;
    std::deque<std::optional<FontChoice>> font_choices_;
    std::deque<std::optional<qint32>> colours_;
    std::deque<PrintAnswer> prints_;
    std::deque<std::optional<QPageLayout>> pages_;
};

}  // namespace lineara::test
