#include "ui/EventDialog.h"

#include "core/AlarmRules.h"
#include "core/Clock.h"
#include "core/RepeatRules.h"
#include "i18n/LanguageStrings.h"
#include "inifile/ProfileText.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "ui/DialogPlacement.h"
#include "ui/FileFilter.h"
#include "ui/LanguageTable.h"
#include "ui/MaskedLineEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QValidator>

namespace {

const QString kInvalidInput =
    QStringLiteral("Invalid input value.  Use escape key to abandon changes");
const QString kSoundFilter = QStringLiteral(
    "All Supprted Files (*.wav;*.mp3)|*.wav;*.mp3|WAV Files (*.wav)|*.wav|MP3 Files (*.mp3)|*.mp3");
const QString kExtraFilter = QStringLiteral("All Files (*.*)|*.*");
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kInvalidDate = QStringLiteral("Please enter a real date (dd.mm.yyyy).");
const QString kInvalidTime = QStringLiteral("Please enter a real time (hh:mm:ss).");
const QString kMomentPassed =
    QStringLiteral("This moment has already passed. Please enter a date and time to come.");

/// The number the ASCII digits at these places spell, or -1 where a place holds anything else.
int digitsAt(const QString& text, qsizetype from, qsizetype count)
{
    if (from + count > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

/// A "dd.MM.yyyy" text naming a day of the calendar: the only kind the clock ever reaches.
bool isRealDate(const QString& text)
{
    const int year = digitsAt(text, 6, 4);
    return text.size() == 10 && year > 0 &&
           QDate(year, digitsAt(text, 3, 2), digitsAt(text, 0, 2)).isValid();
}

/// A "HH:mm:ss" text the clock shows, or for a countdown one it runs down from: its two hour
/// digits count down from as far as 99.
bool isRealTime(const QString& text, bool countdown)
{
    const int hours = digitsAt(text, 0, 2);
    const int minutes = digitsAt(text, 3, 2);
    const int seconds = digitsAt(text, 6, 2);
    return text.size() == 8 && hours >= 0 && (countdown || hours <= 23) && minutes >= 0 &&
           minutes <= 59 && seconds >= 0 && seconds <= 59;
}

/// Keeps a field to what the events file gives back: one line, and no more bytes than a read
/// returns, cut at a character. A pasted line break becomes a blank, as the file would store it.
class StoredTextValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        for (QChar& c : input) {
            if (c == u'\r' || c == u'\n')
                c = u' ';
        }
        std::size_t bytes = 0;
        qsizetype keep = 0;
        while (keep < input.size()) {
            const char32_t code = input.at(keep).unicode();
            const bool pair = input.at(keep).isHighSurrogate() && keep + 1 < input.size() &&
                              input.at(keep + 1).isLowSurrogate();
            const std::size_t size = pair ? 4 : code < 0x80 ? 1 : code < 0x800 ? 2 : 3;
            if (bytes + size > profile::maxValueBytes)
                break;
            bytes += size;
            keep += pair ? 2 : 1;
        }
        if (keep < input.size()) {
            input.truncate(keep);
            pos = std::min(pos, static_cast<int>(keep));
        }
        return Acceptable;
    }
};

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* makeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // No default button: Enter in a field presses nothing.
    button->setAutoDefault(false);
    return button;
}

QLineEdit* makeTextEdit(const char* name, QValidator* validator, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(validator);
    return edit;
}

} // namespace

EventDialog::EventDialog(Mode mode, Context context, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_context(context), m_soundFilter(kSoundFilter),
      m_extraFilter(kExtraFilter), m_invalidDate(kInvalidDate), m_invalidTime(kInvalidTime),
      m_momentPassed(kMomentPassed)
{
    const bool add = mode == Mode::Add;
    setObjectName(add ? QStringLiteral("addEventDialog") : QStringLiteral("editEventDialog"));
    setWindowTitle(add ? QStringLiteral(" Add Event") : QStringLiteral(" Edit Event"));
    // A dialog frame: title, system menu and close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Modal to the main window only: the tray stays in reach while it is open.
    setWindowModality(Qt::WindowModal);
    // The main window's 8-point face; a window does not inherit its owner's font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    createControls();
    layOutControls();
    setTabOrder();
    // The first opening starts on OK; later ones where the focus was left.
    m_okButton->setFocus();
}

void EventDialog::createControls()
{
    const bool add = m_mode == Mode::Add;
    auto* validator = new StoredTextValidator(this);
    m_eventInfoGroupBox = new QGroupBox(QStringLiteral(" Event Info "), this);
    m_eventInfoGroupBox->setObjectName(QStringLiteral("eventInfoGroupBox"));
    QWidget* box = m_eventInfoGroupBox;

    m_dateLabel = makeLabel("dateLabel", QStringLiteral("Date:"), box);
    m_dateEdit =
        new MaskedLineEdit(QStringLiteral("!99/99/0000;1;_"), dateSeparator, timeSeparator, box);
    m_dateEdit->setObjectName(QStringLiteral("dateEdit"));
    m_datePicker = new QDateEdit(QDate(2005, 12, 2), box);
    m_datePicker->setObjectName(QStringLiteral("datePicker"));
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setDisplayFormat(kDateFormat);

    m_timeLabel = makeLabel("timeLabel", QStringLiteral("Time:"), box);
    m_timeEdit =
        new MaskedLineEdit(QStringLiteral("!90:00:00;1;_"), dateSeparator, timeSeparator, box);
    m_timeEdit->setObjectName(QStringLiteral("timeEdit"));
    m_countdownCheckBox = new QCheckBox(QStringLiteral("Countdown"), box);
    m_countdownCheckBox->setObjectName(QStringLiteral("countdownCheckBox"));

    m_titleLabel = makeLabel("titleLabel", QStringLiteral("Title:"), box);
    m_titleEdit = makeTextEdit("titleEdit", validator, box);
    m_textLabel = makeLabel("textLabel", QStringLiteral("Text:"), box);
    m_textEdit = makeTextEdit("textEdit", validator, box);

    if (!add) {
        m_statusLabel = makeLabel("statusLabel", QStringLiteral("Status:"), box);
        m_statusComboBox = new QComboBox(box);
        m_statusComboBox->setObjectName(QStringLiteral("statusComboBox"));
        m_statusComboBox->setEditable(false);
        m_statusComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }

    m_soundFileLabel = makeLabel("soundFileLabel", QStringLiteral("Sound File:"), box);
    m_soundFileEdit = makeTextEdit("soundFileEdit", validator, box);
    m_selectSoundButton = makeButton("selectSoundButton", QStringLiteral("Select"), box);
    m_extraFileLabel = makeLabel("extraFileLabel", QStringLiteral("Extra File:"), box);
    m_extraFileEdit = makeTextEdit("extraFileEdit", validator, box);
    m_selectExtraButton = makeButton("selectExtraButton", QStringLiteral("Select"), box);

    m_repeatLabel = makeLabel("repeatLabel", m_repeatTexts.label, box);
    m_repeatComboBox = new QComboBox(box);
    m_repeatComboBox->setObjectName(QStringLiteral("repeatComboBox"));
    m_repeatComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    showRepeatTexts({});
    // A countdown runs once: its time is a duration, not a moment to come back to.
    connect(m_countdownCheckBox, &QCheckBox::toggled, m_repeatComboBox,
            [this](bool on) { m_repeatComboBox->setEnabled(!on); });

    m_okButton = makeButton("okButton", QStringLiteral("OK"), box);
    m_cancelButton = makeButton("cancelButton", QStringLiteral("Cancel"), box);

    connect(m_okButton, &QPushButton::clicked, this, &EventDialog::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_selectSoundButton, &QPushButton::clicked, this, &EventDialog::selectSoundFile);
    connect(m_selectExtraButton, &QPushButton::clicked, this, &EventDialog::selectExtraFile);
    connect(m_datePicker, &QDateEdit::dateChanged, this, &EventDialog::onPickerChanged);
    connect(m_dateEdit, &MaskedLineEdit::inputRefused, this, &EventDialog::showInvalidInput);
    connect(m_timeEdit, &MaskedLineEdit::inputRefused, this, &EventDialog::showInvalidInput);
}

void EventDialog::layOutControls()
{
    // The designed arrangement in a grid, so that longer texts (another language, a larger
    // face) widen their column instead of being cut. Sizes of the design are minimums, in the
    // design's units: its face was 13 pixels high.
    const double unit = QFontMetricsF(font()).height() / 13.0;
    auto designed = [unit](int pixels) { return qRound(pixels * unit); };

    auto* grid = new QGridLayout(m_eventInfoGroupBox);
    grid->setHorizontalSpacing(designed(7));
    grid->setVerticalSpacing(designed(3));
    grid->setColumnStretch(2, 1);
    int row = 0;
    grid->addWidget(m_dateLabel, row, 0);
    grid->addWidget(m_dateEdit, row, 1);
    grid->addWidget(m_datePicker, row, 2, 1, 2);
    ++row;
    grid->addWidget(m_timeLabel, row, 0);
    grid->addWidget(m_timeEdit, row, 1);
    grid->addWidget(m_countdownCheckBox, row, 2, 1, 2);
    ++row;
    grid->addWidget(m_titleLabel, row, 0);
    grid->addWidget(m_titleEdit, row, 1, 1, 3);
    ++row;
    grid->addWidget(m_textLabel, row, 0);
    grid->addWidget(m_textEdit, row, 1, 1, 3);
    ++row;
    if (m_statusComboBox) {
        grid->addWidget(m_statusLabel, row, 0);
        grid->addWidget(m_statusComboBox, row, 1, 1, 2, Qt::AlignLeft);
        ++row;
    }
    grid->addWidget(m_repeatLabel, row, 0);
    grid->addWidget(m_repeatComboBox, row, 1, 1, 2, Qt::AlignLeft);
    ++row;
    grid->setRowMinimumHeight(row++, designed(4));
    grid->addWidget(m_soundFileLabel, row, 0);
    grid->addWidget(m_soundFileEdit, row, 1, 1, 2);
    grid->addWidget(m_selectSoundButton, row, 3);
    ++row;
    grid->addWidget(m_extraFileLabel, row, 0);
    grid->addWidget(m_extraFileEdit, row, 1, 1, 2);
    grid->addWidget(m_selectExtraButton, row, 3);
    ++row;
    grid->setRowMinimumHeight(row++, designed(12));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(designed(5));
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, row, 0, 1, 4);

    m_datePicker->setMinimumWidth(designed(186));
    m_titleEdit->setMinimumWidth(designed(257));
    m_textEdit->setMinimumWidth(designed(257));
    m_soundFileEdit->setMinimumWidth(designed(161));
    m_extraFileEdit->setMinimumWidth(designed(161));
    if (m_statusComboBox)
        m_statusComboBox->setMinimumWidth(designed(65));
    for (QPushButton* button : {m_selectSoundButton, m_selectExtraButton})
        button->setMinimumWidth(designed(57));
    for (QPushButton* button : {m_okButton, m_cancelButton})
        button->setMinimumWidth(designed(75));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(designed(8), designed(8), designed(8), designed(8));
    outer->addWidget(m_eventInfoGroupBox);
    // Fixed size: the dialog takes the size its texts need, anew whenever a text changes.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void EventDialog::setTabOrder()
{
    std::vector<QWidget*> order{m_okButton, m_cancelButton, m_titleEdit, m_textEdit};
    if (m_mode == Mode::Add) {
        order.insert(order.end(),
                     {m_timeEdit, m_dateEdit, m_datePicker, m_countdownCheckBox, m_soundFileEdit,
                      m_extraFileEdit, m_selectSoundButton, m_selectExtraButton});
    } else {
        order.insert(order.end(),
                     {m_dateEdit, m_timeEdit, m_statusComboBox, m_datePicker, m_countdownCheckBox,
                      m_soundFileEdit, m_selectSoundButton, m_selectExtraButton, m_extraFileEdit});
    }
    order.push_back(m_repeatComboBox);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void EventDialog::applyLanguage(const LanguageFile& file)
{
    // The Add and the Edit dialog have keys of their own; the files give OK none.
    const bool add = m_mode == Mode::Add;
    auto key = [add](const char* addKey, const char* editKey) { return add ? addKey : editKey; };
    std::vector<LanguageBinding> table{
        bindText(key("FormAdd->Caption", "FormEdit->Caption"), this, "windowTitle"),
        bindText(key("FormAdd->GroupBoxAdd->Caption", "FormEdit->GroupBoxEdit->Caption"),
                 m_eventInfoGroupBox, "title"),
        bindText(key("FormAdd->LabelDate->Caption", "FormEdit->LabelDate->Caption"), m_dateLabel,
                 "text"),
        bindText(key("FormAdd->LabelTime->Caption", "FormEdit->LabelTime->Caption"), m_timeLabel,
                 "text"),
        bindText(key("FormAdd->LabelTitle->Caption", "FormEdit->LabelTitle->Caption"), m_titleLabel,
                 "text"),
        bindText(key("FormAdd->LabelText->Caption", "FormEdit->LabelText->Caption"), m_textLabel,
                 "text"),
        bindText(key("FormAdd->LabelFileSound->Caption", "FormEdit->LabelFileSound->Caption"),
                 m_soundFileLabel, "text"),
        bindText(key("FormAdd->LabelFileExtra->Caption", "FormEdit->LabelFileExtra->Caption"),
                 m_extraFileLabel, "text"),
        bindText(key("FormAdd->ButtonCancel->Caption", "FormEdit->ButtonCancel->Caption"),
                 m_cancelButton, "text"),
        bindText(key("FormAdd->CBCountdown->Caption", "FormEdit->CBCountdown->Caption"),
                 m_countdownCheckBox, "text"),
        bindText(key("FormAdd->ButtonSelectSound->Caption", "FormEdit->ButtonSelectSound->Caption"),
                 m_selectSoundButton, "text"),
        bindText(key("FormAdd->ButtonSelectExtra->Caption", "FormEdit->ButtonSelectExtra->Caption"),
                 m_selectExtraButton, "text"),
        bindText(key("FormAdd->OpenDialog1->Filter", "FormEdit->OpenDialog1->Filter"),
                 m_soundFilter),
        bindText(key("FormAdd->OpenDialog2->Filter", "FormEdit->OpenDialog2->Filter"),
                 m_extraFilter),
        bindText("StringInvalidDate", m_invalidDate),
        bindText("StringInvalidTime", m_invalidTime),
        bindText("StringMomentPassed", m_momentPassed),
    };
    // Only the Edit dialog has a status list.
    if (m_statusLabel)
        table.push_back(bindText("FormEdit->LabelStatus->Caption", m_statusLabel, "text"));
    m_repeatTexts.bind(table);
    ::applyLanguage(file, table);
    showRepeatTexts(m_repeatComboBox->currentData().toByteArray());
}

void EventDialog::setPickerDate(const QDate& date)
{
    // Only the user's choice in the picker writes the date field.
    const QSignalBlocker blocker(m_datePicker);
    m_datePicker->setDate(date);
}

void EventDialog::setDateText(const QString& text)
{
    m_dateEdit->setMaskedText(text);
}

void EventDialog::setTimeText(const QString& text)
{
    m_timeEdit->setMaskedText(text);
}

void EventDialog::setFields(const Event& event)
{
    m_fields = event;
    m_dateEdit->setMaskedText(event.date);
    m_timeEdit->setMaskedText(event.time);
    m_countdownCheckBox->setChecked(event.countdown);
    m_titleEdit->setText(event.title);
    m_textEdit->setText(event.message);
    m_soundFileEdit->setText(event.soundFile);
    m_extraFileEdit->setText(event.extraFile);
    showRepeatTexts(event.repeat);
    // Long texts show their beginning, as a field the user has not entered does.
    for (QLineEdit* edit : {m_titleEdit, m_textEdit, m_soundFileEdit, m_extraFileEdit})
        edit->setCursorPosition(0);
}

void EventDialog::setStatusChoices(const QString& active, const QString& done,
                                   const QString& status)
{
    if (!m_statusComboBox)
        return;
    m_statusComboBox->clear();
    m_statusComboBox->addItem(active);
    m_statusComboBox->addItem(done);
    int selected = -1;
    if (status == active)
        selected = 0;
    if (status == done)
        selected = 1;
    m_statusComboBox->setCurrentIndex(selected);
}

Event EventDialog::enteredEvent() const
{
    // An edit changes a copy of the record: the fields nobody touched keep the bytes they came
    // as (a sound file's name that is not UTF-8 still names the file).
    Event event = m_mode == Mode::Edit ? m_fields : Event{};
    event.date = m_dateEdit->maskedText();
    event.time = m_timeEdit->maskedText();
    event.countdown = m_countdownCheckBox->isChecked();
    event.title = m_titleEdit->text();
    event.message = m_textEdit->text();
    event.soundFile = m_soundFileEdit->text();
    event.extraFile = m_extraFileEdit->text();
    event.repeat = event.countdown ? QByteArray() : m_repeatComboBox->currentData().toByteArray();
    if (m_mode == Mode::Add)
        event.status = m_context.strings.active;
    else
        event.status =
            m_statusComboBox->currentIndex() >= 0 ? m_statusComboBox->currentText() : QString();
    return event;
}

void EventDialog::onOkClicked()
{
    // Only the length counts: a single blank is a title.
    QString message;
    if (m_titleEdit->text().isEmpty())
        message += m_context.strings.enterTitle + QLatin1Char('\n');
    if (m_textEdit->text().isEmpty())
        message += m_context.strings.enterText + QLatin1Char('\n');
    if (!message.isEmpty()) {
        m_context.boxes.showMessage(this, m_context.applicationTitle, message);
        return;
    }
    const Event event = enteredEvent();
    if (refuseUnreachable(event))
        return;
    emit eventEntered(event);
    accept();
}

bool EventDialog::refuseUnreachable(const Event& event)
{
    // A reminder the clock can never reach is refused, with the field to mend focused.
    const auto refuse = [this](const QString& message, QWidget* field) {
        m_context.boxes.showMessage(this, m_context.applicationTitle, message);
        field->setFocus();
        return true;
    };
    if (!isRealDate(event.date))
        return refuse(m_invalidDate, m_dateEdit);
    if (!isRealTime(event.time, event.countdown))
        return refuse(m_invalidTime, m_timeEdit);
    // A countdown's time is a duration, and a done event waits for nothing.
    if (!event.countdown && event.status == m_context.strings.active &&
        AlarmRules::isPassed(event.date, event.time, AlarmRules::clockTexts(m_context.clock.now())))
        return refuse(m_momentPassed, m_dateEdit);
    return false;
}

void EventDialog::onPickerChanged(const QDate& date)
{
    m_dateEdit->setMaskedText(date.toString(kDateFormat));
}

void EventDialog::selectSoundFile()
{
    const QString chosen = m_context.fileDialogs.openFileName(
        this, {}, QFileInfo(m_context.defaultSoundFile).absolutePath(),
        FileFilter::toQt(m_soundFilter), FileDialogs::Existing::Required);
    if (!chosen.isEmpty())
        m_soundFileEdit->setText(chosen);
}

void EventDialog::selectExtraFile()
{
    const QString chosen = m_context.fileDialogs.openFileName(
        this, {}, {}, FileFilter::toQt(m_extraFilter), FileDialogs::Existing::NotRequired);
    if (!chosen.isEmpty())
        m_extraFileEdit->setText(chosen);
}

void EventDialog::showRepeatTexts(const QByteArray& selected)
{
    // The stored word rides with each entry; a word this version does not know is offered as
    // it stands, so that an edit keeps it.
    m_repeatComboBox->clear();
    for (qsizetype i = 0; i < m_repeatTexts.names.size(); ++i)
        m_repeatComboBox->addItem(m_repeatTexts.names[i],
                                  RepeatRules::wordOf(static_cast<RepeatRules::Kind>(i)));
    int index = m_repeatComboBox->findData(selected);
    if (index < 0) {
        m_repeatComboBox->addItem(QString::fromUtf8(selected), selected);
        index = m_repeatComboBox->count() - 1;
    }
    m_repeatComboBox->setCurrentIndex(index);
    m_repeatLabel->setText(m_repeatTexts.label);
}

void EventDialog::showInvalidInput()
{
    m_context.boxes.showError(this, m_context.applicationTitle, kInvalidInput);
}

void EventDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Not a way out of the dialog: in a changed date or time field it undoes the change.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A focused button takes Enter as a press; in a field Enter does nothing.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void EventDialog::showEvent(QShowEvent* event)
{
    // Centred on the screen each time it opens, at the size its texts need now.
    adjustSize();
    centreOnScreen(*this);
    QDialog::showEvent(event);
}
