#include "ui/MaskedLineEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

MaskedLineEdit::MaskedLineEdit(const QString& mask, QChar dateSeparator, QChar timeSeparator,
                               QWidget* parent)
    : QLineEdit(parent)
{
    const QStringList parts = mask.split(QLatin1Char(';'));
    QString pattern = parts.value(0);
    m_literalsInText = parts.value(1, QStringLiteral("1")) != QLatin1String("0");
    if (parts.size() > 2 && !parts[2].isEmpty())
        m_blank = parts[2].front();
    if (pattern.startsWith(QLatin1Char('!'))) {
        m_blanksLead = true;
        pattern.remove(0, 1);
    }

    // To Qt every digit place is optional ("0" in its mask): its setText cannot leave a required
    // place empty. Required places are checked here, when the focus leaves. Every literal is
    // escaped, so no separator can be read as a mask letter.
    QString qtMask;
    for (const QChar c : pattern) {
        Place place;
        if (c == QLatin1Char('9') || c == QLatin1Char('0')) {
            place.required = c == QLatin1Char('0');
            qtMask += QLatin1Char('0');
        } else {
            place.literal = true;
            place.character = c == QLatin1Char('/')   ? dateSeparator
                              : c == QLatin1Char(':') ? timeSeparator
                                                      : c;
            qtMask += QLatin1Char('\\') + place.character;
        }
        m_places.push_back(place);
    }
    setInputMask(qtMask + QLatin1Char(';') + m_blank);
    setSizePolicy(QSizePolicy::Fixed, sizePolicy().verticalPolicy());
}

QString MaskedLineEdit::maskedText() const
{
    // QLineEdit::text() leaves the empty places out; the display text keeps every place.
    const QString shown = displayText();
    QString text;
    QString group;
    auto flushGroup = [&] {
        if (m_blanksLead) {
            QString filled = group;
            filled.remove(QLatin1Char(' '));
            group = QString(group.size() - filled.size(), QLatin1Char(' ')) + filled;
        }
        text += group;
        group.clear();
    };
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        const Place& place = m_places[i];
        if (place.literal) {
            flushGroup();
            if (m_literalsInText)
                text += place.character;
            continue;
        }
        const QChar c =
            static_cast<qsizetype>(i) < shown.size() ? shown[static_cast<qsizetype>(i)] : m_blank;
        group += c == m_blank ? QLatin1Char(' ') : c;
    }
    flushGroup();
    return text;
}

QString MaskedLineEdit::alignedToGroups(const QString& text) const
{
    // "5.3.2024" is " 5. 3.2024": each group of a text that has the mask's separators is
    // right-aligned in its places. Any other text is taken place by place.
    std::vector<int> groupSizes;
    int size = 0;
    QString separators;
    for (const Place& place : m_places) {
        if (place.literal) {
            groupSizes.push_back(size);
            separators += place.character;
            size = 0;
        } else {
            ++size;
        }
    }
    groupSizes.push_back(size);

    QStringList groups;
    QString current;
    qsizetype next = 0;
    for (const QChar c : text) {
        if (next < separators.size() && c == separators[next]) {
            groups << current;
            current.clear();
            ++next;
        } else {
            current += c;
        }
    }
    groups << current;
    if (groups.size() != static_cast<qsizetype>(groupSizes.size()))
        return text;
    QString aligned;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const int wanted = groupSizes[static_cast<std::size_t>(g)];
        if (groups[g].size() > wanted)
            return text;
        aligned += QString(wanted - groups[g].size(), QLatin1Char(' ')) + groups[g];
        if (g < separators.size())
            aligned += separators[g];
    }
    return aligned;
}

void MaskedLineEdit::setMaskedText(const QString& text)
{
    QString shaped = m_literalsInText ? alignedToGroups(text) : text;
    // A blank is an empty place; Qt takes the blank character for one.
    for (qsizetype i = 0; i < shaped.size(); ++i) {
        if (shaped[i] == QLatin1Char(' '))
            shaped[i] = m_blank;
    }
    setText(shaped);
    m_textOnEntry = maskedText();
}

int MaskedLineEdit::firstIncompletePosition() const
{
    const QString shown = displayText();
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        if (m_places[i].required && (at >= shown.size() || shown[at] == m_blank))
            return static_cast<int>(i);
    }
    return -1;
}

QSize MaskedLineEdit::sizeHint() const
{
    // Wide enough for the whole mask with its widest digits, as narrow as the design wants.
    ensurePolished();
    QString widest;
    for (const Place& place : m_places)
        widest += place.literal ? place.character : QLatin1Char('0');
    const QFontMetrics metrics(font());
    const QMargins margins = textMargins() + contentsMargins();
    const int cursorRoom = 2 * 2 + 2; // QLineEdit's horizontal margin on both sides, the cursor
    const QSize contents(metrics.horizontalAdvance(widest) + cursorRoom + margins.left() +
                             margins.right(),
                         metrics.height());
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize framed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this);
    return {framed.width(), QLineEdit::sizeHint().height()};
}

QSize MaskedLineEdit::minimumSizeHint() const
{
    return sizeHint();
}

void MaskedLineEdit::focusInEvent(QFocusEvent* event)
{
    // Coming back to the window keeps what the user is in the middle of changing.
    const bool windowOnly =
        event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    if (!m_refusing && (!windowOnly || !isModified()))
        m_textOnEntry = maskedText();
    QLineEdit::focusInEvent(event);
}

void MaskedLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    const bool toAnotherControl =
        reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
    if (!m_refusing && toAnotherControl && isModified() && firstIncompletePosition() >= 0)
        refuseFocusLoss(reason);
}

void MaskedLineEdit::refuseFocusLoss(Qt::FocusReason reason)
{
    // Taken back at once, inside the focus change: Qt then gives the other control no focus-in.
    m_refusing = true;
    setFocus(Qt::OtherFocusReason);
    m_refusing = false;
    setCursorPosition(firstIncompletePosition());
    if (reason == Qt::MouseFocusReason && !m_swallowingMouse) {
        // The click that tried to take the focus must not act either (press a button, tick a box).
        m_swallowingMouse = true;
        qApp->installEventFilter(this);
    }
    // The box waits until the focus change and the click are over.
    QTimer::singleShot(0, this, [this] {
        stopSwallowingMouse();
        QApplication::beep();
        emit inputRefused();
    });
}

void MaskedLineEdit::stopSwallowingMouse()
{
    if (!std::exchange(m_swallowingMouse, false))
        return;
    qApp->removeEventFilter(this);
}

bool MaskedLineEdit::eventFilter(QObject* watched, QEvent* event)
{
    // Only the widgets' own mouse events: the windows must still see the release to end their
    // implicit grab.
    if (m_swallowingMouse && watched->isWidgetType()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;
        case QEvent::MouseButtonRelease:
            stopSwallowingMouse();
            return true;
        default:
            break;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void MaskedLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isModified()) {
        setMaskedText(m_textOnEntry);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
