#pragma once

#include "core/Event.h"
#include "ui/RepeatTexts.h"

#include <QDialog>

class Clock;
class FileDialogs;
class LanguageFile;
class MessageBoxes;
class MaskedLineEdit;
struct LanguageStrings;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

/// The Add and the Edit dialog: the same fields, the Edit dialog with a status list. Created once
/// and hidden between uses, so the fields keep what they held. OK with a title, a text, a real
/// date and time and, for an active clock event, a moment still to come announces the event and
/// closes; Cancel, the close button and Escape store nothing.
class EventDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Add,
        Edit,
    };

    /// What the dialog takes from its owner, read at the moment it is needed; the referenced
    /// objects outlive the dialog.
    struct Context
    {
        MessageBoxes& boxes;
        FileDialogs& fileDialogs;
        /// The status word of a new event and the lines of the validation message.
        const LanguageStrings& strings;
        /// The caption of the dialog's message boxes.
        const QString& applicationTitle;
        /// The sound file dialog opens in this file's folder.
        const QString& defaultSoundFile;
        /// An active clock event must lie after this clock's reading.
        const Clock& clock;
    };

    /// The date and time forms the fields are filled in and read back in.
    static constexpr QChar dateSeparator = u'.';
    static constexpr QChar timeSeparator = u':';

    EventDialog(Mode mode, Context context, QWidget* parent = nullptr);

    [[nodiscard]] Mode mode() const { return m_mode; }

    /// Sets every text from the file's keys ("FormAdd->…" or "FormEdit->…"); a missing key keeps
    /// the current text.
    void applyLanguage(const LanguageFile& file);

    /// The picker's date, set without writing the date field.
    void setPickerDate(const QDate& date);
    void setDateText(const QString& text);
    void setTimeText(const QString& text);
    /// Fills every field from the event but the picker and the status list.
    void setFields(const Event& event);
    /// The status list: the two status words, the one the status equals selected (the second
    /// when both do), none when it equals neither.
    void setStatusChoices(const QString& active, const QString& done, const QString& status);

    /// The names of the repeat choices in the language in force.
    [[nodiscard]] const RepeatTexts& repeatTexts() const { return m_repeatTexts; }

    /// The index, in the event list and the list view, of the event being edited.
    void setEditIndex(int index) { m_editIndex = index; }
    [[nodiscard]] int editIndex() const { return m_editIndex; }

    /// The event as the fields describe it. Status: a new event is active; an edited one takes
    /// the selected entry, or nothing when none is selected.
    [[nodiscard]] Event enteredEvent() const;

signals:
    /// OK with valid input, just before the dialog closes.
    void eventEntered(const Event& event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void layOutControls();
    void setTabOrder();
    void onOkClicked();
    void onPickerChanged(const QDate& date);
    void selectSoundFile();
    void selectExtraFile();
    void showInvalidInput();
    void showRepeatTexts(const QByteArray& selected);
    [[nodiscard]] bool refuseUnreachable(const Event& event);

    Mode m_mode;
    Context m_context;
    int m_editIndex = 0;
    // The record the fields were filled from.
    Event m_fields;
    QString m_soundFilter;
    QString m_extraFilter;
    QString m_invalidDate;
    QString m_invalidTime;
    QString m_momentPassed;

    QGroupBox* m_eventInfoGroupBox = nullptr;
    QLabel* m_dateLabel = nullptr;
    MaskedLineEdit* m_dateEdit = nullptr;
    QDateEdit* m_datePicker = nullptr;
    QLabel* m_timeLabel = nullptr;
    MaskedLineEdit* m_timeEdit = nullptr;
    QCheckBox* m_countdownCheckBox = nullptr;
    QLabel* m_titleLabel = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QLabel* m_textLabel = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QLabel* m_statusLabel = nullptr;
    QComboBox* m_statusComboBox = nullptr;
    QLabel* m_soundFileLabel = nullptr;
    QLineEdit* m_soundFileEdit = nullptr;
    QPushButton* m_selectSoundButton = nullptr;
    QLabel* m_extraFileLabel = nullptr;
    QLineEdit* m_extraFileEdit = nullptr;
    QPushButton* m_selectExtraButton = nullptr;
    QLabel* m_repeatLabel = nullptr;
    QComboBox* m_repeatComboBox = nullptr;
    RepeatTexts m_repeatTexts;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
