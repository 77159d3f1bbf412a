#include "ui/AboutDialog.h"

#include "platform/Shell.h"
#include "tray/DefaultIcon.h"
#include "ui/DialogPlacement.h"
#include "ui/LanguageTable.h"
#include "ui/ThemeColours.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

namespace {

// Each colour with its lighter variant for a dark window colour.
struct Shade
{
    QColor onLight;
    QColor onDark;
};
const Shade kNavy{{0, 0, 128}, {140, 170, 255}};
const Shade kMaroon{{128, 0, 0}, {240, 140, 140}};
const Shade kTeal{{0, 128, 128}, {100, 220, 220}};
const Shade kLinkBlue{{0, 0, 255}, {120, 170, 255}};
const Shade kLinkRed{{255, 0, 0}, {255, 110, 110}};
constexpr int kIconSize = 32;

QColor shade(const QWidget& widget, const Shade& colours)
{
    return ThemeColours::on(widget.palette().color(QPalette::Window), colours.onLight,
                            colours.onDark);
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* makeLabel(const char* objectName, const QString& text, bool bold)
{
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(objectName));
    // The texts come from language files: shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

/// The address a link text may open: web and mail addresses only, since the text comes from a
/// language file anyone can edit, and a click must never start a program or open a local file.
std::optional<QUrl> linkTarget(const QString& text)
{
    QString address = text.trimmed();
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("https://"));
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
        !url.host().isEmpty())
        return url;
    if (scheme == QLatin1String("mailto") && url.path().contains(QLatin1Char('@')))
        return url;
    return std::nullopt;
}

} // namespace

AboutDialog::AboutDialog(Shell& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_shell(shell)
{
    setObjectName(QStringLiteral("aboutDialog"));
    // Modal to the main window only: the tray stays in reach while it is open.
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("About Program"));
    setWindowIcon(aboutIcon());

    m_panel = new QFrame;
    m_panel->setObjectName(QStringLiteral("panel"));
    // A lowered outer and a raised inner bevel: an etched frame.
    m_panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_panel->setLineWidth(1);
    m_panel->setMidLineWidth(0);
    m_panel->setMouseTracking(true);
    m_panel->installEventFilter(this);

    m_programIconLabel = new QLabel;
    m_programIconLabel->setObjectName(QStringLiteral("programIconLabel"));
    m_programIconLabel->setFixedSize(kIconSize, kIconSize);

    m_titleLabel = makeLabel("titleLabel", QStringLiteral("Dorvane 1.6"), true);
    m_aboutLabel = makeLabel("aboutLabel", QStringLiteral("reminds about important events"), false);
    m_authorLabel = makeLabel("authorLabel", QStringLiteral("The Dorvane developers"), true);
    m_emailLabel = makeLabel("emailLabel", QStringLiteral("info@dorvane.org"), true);
    m_emailLabel->setWordWrap(true);
    m_siteLabel = makeLabel("siteLabel", QStringLiteral("https://dorvane.org"), false);
    QFont linkFont = m_siteLabel->font();
    linkFont.setUnderline(true);
    m_siteLabel->setFont(linkFont);
    m_siteLabel->setCursor(Qt::PointingHandCursor);
    m_siteLabel->setMouseTracking(true);
    m_siteLabel->installEventFilter(this);

    // Labels as wide as their texts, so the link reacts over its text only.
    auto* panelLayout = new QGridLayout(m_panel);
    panelLayout->setContentsMargins(8, 8, 8, 12);
    panelLayout->setHorizontalSpacing(8);
    panelLayout->setVerticalSpacing(2);
    panelLayout->addWidget(m_programIconLabel, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignTop);
    panelLayout->addWidget(m_titleLabel, 0, 1, Qt::AlignLeft);
    panelLayout->addWidget(m_aboutLabel, 1, 1, Qt::AlignLeft);
    panelLayout->setRowMinimumHeight(2, 6);
    panelLayout->addWidget(m_authorLabel, 3, 0, 1, 2, Qt::AlignLeft);
    panelLayout->addWidget(m_emailLabel, 4, 0, 1, 2, Qt::AlignLeft);
    panelLayout->addWidget(m_siteLabel, 5, 0, 1, 2, Qt::AlignLeft);
    panelLayout->setColumnStretch(1, 1);

    m_okButton = new QPushButton(QStringLiteral("OK"));
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_okButton);
    buttonRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addStrut(fontMetrics().averageCharWidth() * 48);
    layout->addWidget(m_panel);
    layout->addLayout(buttonRow);
    applyColours();
}

void AboutDialog::applyColours()
{
    setTextColour(m_titleLabel, shade(*this, kNavy));
    setTextColour(m_aboutLabel, shade(*this, kMaroon));
    setTextColour(m_authorLabel, shade(*this, kNavy));
    setTextColour(m_emailLabel, shade(*this, kTeal));
    setTextColour(m_siteLabel, shade(*this, kLinkBlue));
}

void AboutDialog::applyLanguage(const LanguageFile& file)
{
    // The e-mail address and OK have no key: they read the same in every language.
    ::applyLanguage(file, {bindText("AboutBox->Caption", this, "windowTitle"),
                           bindText("AboutBox->LabelTitle->Caption", m_titleLabel, "text"),
                           bindText("AboutBox->LabelAbout->Caption", m_aboutLabel, "text"),
                           bindText("AboutBox->LabelAuthor->Caption", m_authorLabel, "text"),
                           bindText("AboutBox->LabelSite->Caption", m_siteLabel, "text")});
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_siteLabel) {
        if (event->type() == QEvent::MouseMove)
            setTextColour(m_siteLabel, shade(*this, kLinkRed));
        else if (event->type() == QEvent::MouseButtonPress)
            openSite();
    } else if (watched == m_panel && event->type() == QEvent::MouseMove) {
        // Moves over the labels reach the panel too; only the bare panel restores the colour.
        const auto* move = static_cast<QMouseEvent*>(event);
        if (!m_panel->childAt(move->position().toPoint()))
            setTextColour(m_siteLabel, shade(*this, kLinkBlue));
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::showEvent(QShowEvent* event)
{
    // Drawn for the screen the box is about to appear on, in the colours of the theme in force.
    applyColours();
    m_programIconLabel->setPixmap(
        programIcon().pixmap(QSize(kIconSize, kIconSize), devicePixelRatio()));
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void AboutDialog::openSite()
{
    if (const std::optional<QUrl> url = linkTarget(m_siteLabel->text()))
        m_shell.openUrl(*url);
}
