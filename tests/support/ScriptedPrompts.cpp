#include "support/ScriptedPrompts.h"

#include <QPrinter>

namespace lineara::test {

std::vector<ScriptedPrompts::Shown> ScriptedPrompts::ShownOfKind(Kind kind) const {
    std::vector<Shown> result;
    for (const Shown& shown : shown_) {
        if (shown.kind == kind) {
            result.push_back(shown);
        }
    }
    return result;
}

QStringList ScriptedPrompts::MessageTitles() const {
    QStringList titles;
    for (const Shown& shown : shown_) {
        if (shown.kind == Kind::Message) {
            titles << shown.title;
        }
    }
    return titles;
}

const ScriptedPrompts::Shown* ScriptedPrompts::LastMessage() const {
    for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
        if (it->kind == Kind::Message) {
            return &*it;
        }
    }
    return nullptr;
}

int ScriptedPrompts::Beeps() const {
    return static_cast<int>(ShownOfKind(Kind::Beep).size());
}

bool ScriptedPrompts::ScriptUsedUp() const {
    return messages_.empty() && inputs_.empty() && files_.empty() && fonts_.empty() && font_choices_.empty() &&
           colours_.empty() && prints_.empty() && pages_.empty();
}

Prompts::Answer ScriptedPrompts::Message(const QString& title, const QString& text, Buttons buttons,
                                         Icon icon) {
    shown_.push_back({Kind::Message, title, text, buttons, icon, {}, {}});
    if (!messages_.empty()) {
        const Answer answer = messages_.front();
        messages_.pop_front();
        return answer;
    }
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::optional<QString> ScriptedPrompts::Input(const QString& title, const QString& prompt,
                                              const QString& initial) {
    shown_.push_back({Kind::Input, title, prompt, Buttons::OkCancel, Icon::None, {}, initial});
    if (inputs_.empty()) {
        return std::nullopt;
    }
    auto answer = inputs_.front();
    inputs_.pop_front();
    return answer;
}

QString ScriptedPrompts::OpenFile(const FileRequest& request) {
    shown_.push_back(
        {Kind::OpenFile, request.title, {}, Buttons::OkCancel, Icon::None, request, {}});
    if (files_.empty()) {
        return QString();
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedPrompts::SaveFile(const FileRequest& request) {
    shown_.push_back(
        {Kind::SaveFile, request.title, {}, Buttons::OkCancel, Icon::None, request, {}});
    if (files_.empty()) {
        return QString();
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

std::optional<QString> ScriptedPrompts::ChooseFontName(const QString& current, const QStringList&) {
    shown_.push_back({Kind::Font, {}, {}, Buttons::OkCancel, Icon::None, {}, current});
    if (fonts_.empty()) {
        return std::nullopt;
    }
    auto answer = fonts_.front();
    fonts_.pop_front();
    return answer;
}

std::optional<qint32> ScriptedPrompts::ChooseColour(qint32 colour) {
    shown_.push_back(
        {Kind::Colour, {}, {}, Buttons::OkCancel, Icon::None, {}, QString::number(colour)});
    if (colours_.empty()) {
        return std::nullopt;
    }
    auto answer = colours_.front();
    colours_.pop_front();
    return answer;
}

std::optional<Prompts::FontChoice> ScriptedPrompts::ChooseFont(const FontChoice& current) {
    shown_.push_back({Kind::Font, {}, {}, Buttons::OkCancel, Icon::None, {}, current.family});
    if (font_choices_.empty()) {
        return std::nullopt;
    }
    auto answer = font_choices_.front();
    font_choices_.pop_front();
    return answer;
}

void ScriptedPrompts::Beep() {
    shown_.push_back({Kind::Beep, {}, {}, Buttons::Ok, Icon::None, {}, {}});
}

std::optional<Prompts::PrintChoice> ScriptedPrompts::ChoosePrinter(QPrinter& printer,
                                                                   bool offer_selection) {
    shown_.push_back({Kind::Print,
                      {},
                      offer_selection ? QStringLiteral("selection") : QString(),
                      Buttons::OkCancel,
                      Icon::None,
                      {},
                      {}});
    if (prints_.empty() || !prints_.front().pdf_path) {
        if (!prints_.empty()) {
            prints_.pop_front();
        }
        return std::nullopt;
    }
    const PrintAnswer answer = prints_.front();
    prints_.pop_front();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*answer.pdf_path);
    return PrintChoice{offer_selection && answer.selection_only};
}

bool ScriptedPrompts::SetUpPage(QPrinter& printer) {
    shown_.push_back({Kind::PageSetup, {}, {}, Buttons::OkCancel, Icon::None, {}, {}});
    if (pages_.empty()) {
        return false;
    }
    const std::optional<QPageLayout> layout = pages_.front();
    pages_.pop_front();
    if (!layout) {
        return false;
    }
    printer.setPageLayout(*layout);
    return true;
}

}  // namespace lineara::test
