#pragma once

#include "app/Prompts.h"

#include <QPointer>
#include <QWidget>

namespace lineara {

// The desktop implementation of the prompt seam: Qt message boxes and dialogs, owned by the
// window the user is working in.
class QtPrompts : public Prompts {
public:
    void SetDefaultParent(QWidget* parent) { default_parent_ = parent; }

    Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> Input(const QString& title, const QString& prompt,
                                 const QString& initial) override;
    QString OpenFile(const FileRequest& request) override;
    QString SaveFile(const FileRequest& request) override;
    std::optional<QString> ChooseFontName(const QString& current, const QStringList& families) override;
    std::optional<qint32> ChooseColour(qint32 colour) override;
    void Beep() override;
    std::optional<FontChoice> ChooseFont(const FontChoice& current) override;
    std::optional<PrintChoice> ChoosePrinter(QPrinter& printer, bool offer_selection) override;
    bool SetUpPage(QPrinter& printer) override;

    // "LINEARA Database|*.MDB" becomes "LINEARA Database (*.MDB *.mdb)".
    static QString QtFilter(const QString& filter);

private:
    QWidget* Parent() const;

    QPointer<QWidget> default_parent_;
};

}  // namespace lineara
