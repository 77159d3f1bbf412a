#pragma once

#include <QLineEdit>
#include <vector>

/// A field for digits in fixed places, such as a date or a time, with a mask written
/// "pattern;literals;blank": in the pattern "9" is an optional digit, "0" a required one, "/"
/// and ":" stand for the date and time separators, and a "!" in front makes the empty optional
/// places of each group leading blanks of the text. With literals "1" the separators are part
/// of the text; the blank character shows an empty place while the field is edited.
///
/// The field's text has a blank for every empty place. A field the user changed refuses to
/// lose the focus to another control while a required place is empty; Escape brings back the
/// text it had when it got the focus.
class MaskedLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    MaskedLineEdit(const QString& mask, QChar dateSeparator, QChar timeSeparator,
                   QWidget* parent = nullptr);

    /// The text: the separators and, for each empty place, a blank.
    [[nodiscard]] QString maskedText() const;
    /// Sets the text as the program's own (not checked until the user changes it): blanks are
    /// empty places, and a group written shorter than the mask's is padded at its front.
    void setMaskedText(const QString& text);
    /// The first required place left empty, or -1.
    [[nodiscard]] int firstIncompletePosition() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    /// The user tried to leave the changed field with a required place empty; the focus stayed.
    void inputRefused();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Place
    {
        bool literal = false;
        bool required = false;
        QChar character; // the separator of a literal place
    };

    [[nodiscard]] QString alignedToGroups(const QString& text) const;
    void refuseFocusLoss(Qt::FocusReason reason);
    void stopSwallowingMouse();

    std::vector<Place> m_places;
    bool m_blanksLead = false;
    bool m_literalsInText = true;
    QChar m_blank = QLatin1Char('_');
    QString m_textOnEntry;
    bool m_refusing = false;
    bool m_swallowingMouse = false;
};
