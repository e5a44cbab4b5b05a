#include "app/HelpAboutForm.h"

#include "Version.h"
#include "app/Logo.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lineara {

namespace {

class LogoWidget : public QWidget {
public:
    explicit LogoWidget(QWidget* parent) : QWidget(parent) { setFixedSize(112, 112); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        PaintLogo(painter, rect());
    }
};

}  // namespace

HelpAboutForm::HelpAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpAboutForm"));
    setWindowTitle(QStringLiteral("About LINEARA"));

    auto* title = new QLabel(QStringLiteral("LINEARA"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont title_font = title->font();
    title_font.setPointSizeF(title_font.pointSizeF() * 2.2);
    title_font.setBold(true);
    title->setFont(title_font);

    auto* version = new QLabel(
        QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* description = new QLabel(
        QStringLiteral("Pedigrees, certificates and inbreeding analysis for dog breeders and "
                       "exhibitors."),
        this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    auto* contact = new QLabel(
        QStringLiteral("Questions, suggestions and bug reports: support@lineara.example<br>"
                       "Updates and the user's guide: https://www.lineara.example<br><br>"
                       "LINEARA may be copied and given to other breeders, provided it is passed "
                       "on complete and unchanged.<br>Copyright \u00A9 2026 the LINEARA developers."),
        this);
    contact->setObjectName(QStringLiteral("lblContact"));
    contact->setWordWrap(true);
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addSpacing(8);
    text->addWidget(contact);

    auto* top = new QHBoxLayout;
    top->addWidget(new LogoWidget(this), 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    setFixedWidth(520);
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

}  // namespace lineara
