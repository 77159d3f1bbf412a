#include "core/CommandLine.h"

#include "core/AlarmRules.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <map>

namespace CommandLine {

namespace {

const QString kAdd = QStringLiteral("--add");
const QString kList = QStringLiteral("--list");
const QString kHelp = QStringLiteral("--help");
const QString kShortHelp = QStringLiteral("-h");
const QString kVersion = QStringLiteral("--version");
const QString kJson = QStringLiteral("--json");
const QString kTitle = QStringLiteral("--title");
const QString kMessage = QStringLiteral("--message");
const QString kAt = QStringLiteral("--at");
const QString kIn = QStringLiteral("--in");
const QString kSound = QStringLiteral("--sound");
const QString kFile = QStringLiteral("--file");
const QString kRepeat = QStringLiteral("--repeat");
const QString kImport = QStringLiteral("--import");
const QString kExport = QStringLiteral("--export");

// The options of --add, each followed by its value.
const std::array<QString, 7> kAddOptions = {kTitle, kMessage, kAt, kIn, kSound, kFile, kRepeat};
// The event's date is stored with four digits.
constexpr int kLastYear = 9999;
// More digits than any real duration has; keeps the sum far from overflowing.
constexpr qsizetype kMaxDurationDigits = 9;

bool isCommand(const QString& name)
{
    return name == kAdd || name == kList || name == kHelp || name == kShortHelp ||
           name == kVersion || name == kImport || name == kExport;
}

bool isAddOption(const QString& name)
{
    return std::find(kAddOptions.begin(), kAddOptions.end(), name) != kAddOptions.end();
}

bool isOurs(const QString& name)
{
    return isCommand(name) || isAddOption(name) || name == kJson;
}

/// "--title=Text" names --title; any other argument names itself.
QString nameOf(const QString& argument)
{
    if (argument.startsWith(QStringLiteral("--")))
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 2)
            return argument.left(equals);
    return argument;
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

Mistake mistake(const QString& argument, const QString& reason)
{
    return {argument, reason};
}

/// The moment of an --at value, or what is wrong with it.
std::variant<QDateTime, Mistake> parseMoment(const QString& text, const QDateTime& now)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})[ T](\d{2}):(\d{2})(?::(\d{2}))?$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return mistake(kAt, quoted(text) + QStringLiteral(" is not of the form YYYY-MM-DD "
                                                          "HH:MM or YYYY-MM-DD HH:MM:SS"));
    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    if (!date.isValid())
        return mistake(kAt, quoted(text) + QStringLiteral(" names a date that does not exist"));
    const QTime time(number(4), number(5), match.hasCaptured(6) ? number(6) : 0);
    if (!time.isValid())
        return mistake(kAt, quoted(text) + QStringLiteral(" names a time of day that does not "
                                                          "exist"));
    const QDateTime due(date, time);
    // A local time the clock skips when it changes is moved by Qt; it would fire at another time.
    if (!due.isValid() || due.time() != time || due.date() != date)
        return mistake(kAt, quoted(text) + QStringLiteral(" does not exist in the local time "
                                                          "zone (the clock skips it)"));
    if (const QString problem = momentProblem(due, now); !problem.isEmpty())
        return mistake(kAt, quoted(text) + QLatin1Char(' ') + problem);
    return due;
}

Request parseAdd(const QStringList& arguments, const QDateTime& now)
{
    std::map<QString, QString> values;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = nameOf(argument);
        if (name == kJson)
            return mistake(name, QStringLiteral("only goes with --list"));
        if (isCommand(name))
            return mistake(name, QStringLiteral("one command at a time: --add is given first"));
        if (!isAddOption(name))
            return mistake(argument, QStringLiteral("unknown argument for --add"));
        if (values.contains(name))
            return mistake(name, QStringLiteral("is given twice"));
        if (name != argument) {
            values[name] = argument.mid(name.size() + 1);
            continue;
        }
        // A value that looks like one of our options is taken for a forgotten value; such a
        // text can still be given as --message=--in.
        if (i + 1 == arguments.size() || isOurs(nameOf(arguments[i + 1])))
            return mistake(name, QStringLiteral("needs a value"));
        values[name] = arguments[++i];
    }
    const auto value = [&values](const QString& name) {
        const auto it = values.find(name);
        return it == values.end() ? QString() : it->second;
    };
    if (!values.contains(kTitle))
        return mistake(kTitle, QStringLiteral("is missing: --add needs a title"));
    if (const QString problem = titleProblem(value(kTitle)); !problem.isEmpty())
        return mistake(kTitle, problem);

    AddReminder add;
    add.title = value(kTitle);
    add.message = value(kMessage);
    if (values.contains(kSound))
        add.soundFile = value(kSound);
    add.extraFile = value(kFile);
    const bool at = values.contains(kAt);
    const bool in = values.contains(kIn);
    if (at && in)
        return mistake(kIn, QStringLiteral("cannot go with --at: give one of them"));
    if (!at && !in)
        return mistake(kAdd, QStringLiteral("needs a moment: --at \"YYYY-MM-DD HH:MM\" or "
                                            "--in DURATION"));
    if (at) {
        auto moment = parseMoment(value(kAt), now);
        if (auto* wrong = std::get_if<Mistake>(&moment))
            return *wrong;
        add.due = std::get<QDateTime>(moment);
    } else {
        const std::optional<qint64> seconds = parseDuration(value(kIn));
        if (!seconds)
            return mistake(kIn, quoted(value(kIn)) + QStringLiteral(" is not a duration such as "
                                                                    "90s, 10m, 2h or 1h30m"));
        add.due = now.addSecs(*seconds);
        if (const QString problem = momentProblem(add.due, now); !problem.isEmpty())
            return mistake(kIn, quoted(value(kIn)) + QLatin1Char(' ') + problem);
    }
    if (values.contains(kRepeat)) {
        if (!repeatKinds().contains(value(kRepeat)))
            return mistake(kRepeat, quoted(value(kRepeat)) + QStringLiteral(" is not one of ") +
                                        repeatKinds().join(QStringLiteral(", ")));
        add.repeat = value(kRepeat).toLatin1();
    }
    return add;
}

} // namespace

Request parse(const QStringList& arguments, const QDateTime& now)
{
    if (std::none_of(arguments.begin(), arguments.end(),
                     [](const QString& argument) { return isOurs(nameOf(argument)); }))
        return StartProgram{};
    const QString& first = arguments.front();
    if (!isCommand(first)) {
        const QString name = nameOf(first);
        if (isAddOption(name))
            return mistake(name, QStringLiteral("only goes with --add, which comes first"));
        if (name == kJson)
            return mistake(name, QStringLiteral("only goes with --list, which comes first"));
        return mistake(first, QStringLiteral("unknown argument: a command comes first (--add, "
                                             "--list, --import, --export, --help or --version)"));
    }
    if (first == kAdd)
        return parseAdd(arguments, now);
    if (first == kList) {
        ListReminders list;
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            if (arguments[i] != kJson)
                return mistake(arguments[i], QStringLiteral("unknown argument for --list"));
            if (std::exchange(list.json, true))
                return mistake(kJson, QStringLiteral("is given twice"));
        }
        return list;
    }
    if (first == kImport || first == kExport) {
        if (arguments.size() < 2 || arguments[1].isEmpty())
            return mistake(first, QStringLiteral("needs a calendar file (.ics)"));
        if (arguments.size() > 2)
            return mistake(arguments[2], QStringLiteral("unexpected after %1").arg(arguments[1]));
        if (first == kImport)
            return ImportCalendar{arguments[1]};
        return ExportCalendar{arguments[1]};
    }
    if (arguments.size() > 1)
        return mistake(arguments[1], QStringLiteral("unexpected after %1").arg(first));
    if (first == kVersion)
        return ShowVersion{};
    return ShowHelp{};
}

std::optional<qint64> parseDuration(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(R"(^(?:(\d+)h)?(?:(\d+)m)?(?:(\d+)s)?$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (text.isEmpty() || !match.hasMatch())
        return std::nullopt;
    qint64 seconds = 0;
    constexpr std::array<qint64, 3> unit = {3600, 60, 1};
    for (int group = 1; group <= 3; ++group) {
        const QString digits = match.captured(group);
        if (digits.size() > kMaxDurationDigits)
            return std::nullopt;
        seconds += digits.toLongLong() * unit[static_cast<std::size_t>(group - 1)];
    }
    if (seconds <= 0)
        return std::nullopt;
    return seconds;
}

const QStringList& repeatKinds()
{
    static const QStringList kinds = {QStringLiteral("Daily"), QStringLiteral("Weekdays"),
                                      QStringLiteral("Weekly"), QStringLiteral("Monthly"),
                                      QStringLiteral("Yearly")};
    return kinds;
}

QString titleProblem(const QString& title)
{
    // Only the length counts, as in the Add dialog: a single blank is a title.
    if (title.isEmpty())
        return QStringLiteral("is empty: an event needs a title");
    return {};
}

QString momentProblem(const QDateTime& due, const QDateTime& now)
{
    if (!due.isValid())
        return QStringLiteral("is not a moment");
    if (due <= now)
        return QStringLiteral("is already past");
    if (due.date().year() > kLastYear)
        return QStringLiteral("lies after the year %1").arg(kLastYear);
    return {};
}

Event newEvent(const AddReminder& add, const QString& activeWord, const QString& defaultSound)
{
    const ClockTexts texts = AlarmRules::clockTexts(add.due);
    Event event;
    event.date = texts.today;
    event.time = texts.time;
    event.title = add.title;
    event.message = add.message;
    event.soundFile = add.soundFile.value_or(defaultSound);
    event.extraFile = add.extraFile;
    event.status = activeWord;
    event.repeat = add.repeat;
    return event;
}

} // namespace CommandLine
