#include "platform/XdgAutoStart.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

using testing::ThrowsMessage;

// Reads an Exec= value back the way a launcher does: string escapes first, then the quoting.
QString decodeExec(const QString& value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            unescaped += value[i];
            continue;
        }
        const QChar next = value[++i];
        const QString plain = QStringLiteral("s\x20n\nt\tr\r\\\\");
        const qsizetype at = plain.indexOf(next);
        unescaped += at >= 0 && at % 2 == 0 ? plain[at + 1] : QString(u'\\') + next;
    }
    EXPECT_TRUE(unescaped.startsWith(u'"') && unescaped.endsWith(u'"')) << qPrintable(value);
    QString path;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped[i] == u'\\' || unescaped[i] == u'%')
            ++i; // an escaped character, or "%%" for a literal percent sign
        else
            EXPECT_FALSE(QStringLiteral("\"`$").contains(unescaped[i])) << qPrintable(value);
        path += unescaped[i];
    }
    return path;
}

class XdgAutoStartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
    }
    [[nodiscard]] QString autostartDir() const { return m_home.path() + "/config/autostart"; }

    QTemporaryDir m_home;
};

TEST(XdgAutoStartExec, QuotesAndEscapesEveryReservedCharacter)
{
    EXPECT_EQ(XdgAutoStart::execValue(R"(/a\b$c)"), R"("/a\\\\b\\$c")");
    const QStringList paths{"/opt/dorvane/dorvane", "/home/a b/dorvane",  R"(/x/"q"/d)",
                            "/x/$HOME/`id`/d",      R"(/x/back\slash/d)", "/x/100%/d",
                            "/x/tab\there/d",       "/x/new\nline\r/d",   " /lead/d",
                            "/x/'single'/d;&|<>*?", "/x/Ünïcödé/d"};
    // With "%" the path is the argument of a shell that runs it.
    const QString shell = R"(/bin/sh -c "exec \\"\\$0\\"" )";
    for (const QString& path : paths) {
        QString value = XdgAutoStart::execValue(path);
        EXPECT_FALSE(value.contains(u'\n')) << qPrintable(path);
        EXPECT_EQ(value.startsWith(shell), path.contains(u'%')) << qPrintable(value);
        if (value.startsWith(shell))
            value.remove(0, shell.size());
        EXPECT_EQ(decodeExec(value), path);
    }
}

TEST_F(XdgAutoStartTest, EnableWritesEntryAndDisableRemovesIt)
{
    XdgAutoStart autoStart;
    autoStart.enable(" Dorvane\n1.6", "/opt/dorvane/dorvane");
    QFile file(autostartDir() + "/ Dorvane_1.6.desktop");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    EXPECT_EQ(lines.first(), "[Desktop Entry]");
    for (const char* line :
         {"Type=Application", R"(Name=\sDorvane\n1.6)", R"(Exec="/opt/dorvane/dorvane")",
          "Path=/opt/dorvane", "X-GNOME-Autostart-enabled=true", "Terminal=false",
          "X-LXQt-Need-Tray=true"})
        EXPECT_TRUE(lines.contains(line)) << line;

    autoStart.disable(" Dorvane\n1.6");
    EXPECT_FALSE(file.exists());
    EXPECT_NO_THROW(autoStart.disable(" Dorvane\n1.6"));
}

TEST_F(XdgAutoStartTest, CaptionNeverLeavesTheAutostartFolder)
{
    const struct
    {
        QString caption;
        QString fileName;
    } cases[] = {
        {"Dorvane 1.6", "Dorvane 1.6.desktop"},
        {"../../.profile", ".._.._.profile.desktop"},
        {"..", "...desktop"},
        {QString::fromUtf8("a\0b\x1f/c", 6), "a_b__c.desktop"},
        {"", "_.desktop"},
    };
    XdgAutoStart autoStart;
    for (const auto& c : cases) {
        autoStart.enable(c.caption, "/opt/dorvane/dorvane");
        EXPECT_EQ(QDir(autostartDir()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{c.fileName});
        autoStart.disable(c.caption);
    }
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"config"});
}

TEST_F(XdgAutoStartTest, OverlongCaptionsGetShortUniqueEntries)
{
    // 300 bytes and more: past what a file name may hold. Alike for their first 250 bytes,
    // and cut where a two-byte character straddles the limit.
    const QString longA = QString(150, QChar(0x0416)) + QStringLiteral(" A");
    const QString longB = QString(150, QChar(0x0416)) + QStringLiteral(" B");
    XdgAutoStart autoStart;
    autoStart.enable(longA, "/opt/dorvane/dorvane");
    autoStart.enable(longB, "/opt/dorvane/dorvane");
    const QStringList names = QDir(autostartDir()).entryList(QDir::Files);
    ASSERT_EQ(names.size(), 2);
    for (const QString& name : names) {
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_TRUE(name.endsWith(".desktop"));
        EXPECT_TRUE(name.startsWith(QString(100, QChar(0x0416)))) << qPrintable(name);
    }
    QFile entry(autoStart.entryPath(longA));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(entry.readAll()).contains(QStringLiteral("\nName=") + longA + u'\n'));
    autoStart.disable(longA);
    autoStart.disable(longB);
    EXPECT_TRUE(QDir(autostartDir()).isEmpty());
}

TEST_F(XdgAutoStartTest, FolderFollowsEnvironment)
{
    XdgAutoStart autoStart;
    EXPECT_EQ(autoStart.folder(), autostartDir());
    qputenv("XDG_CONFIG_HOME", "relative/config"); // invalid: must be ignored
    EXPECT_EQ(autoStart.folder(), m_home.path() + "/.config/autostart");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(autoStart.folder(), m_home.path() + "/.config/autostart");
}

TEST_F(XdgAutoStartTest, RefusedEntryThrows)
{
    const auto refused = ThrowsMessage<AppError>("Failed to set data for 'Dorvane 1.6'");
    // An Exec line carries line breaks and tabs escaped, but no other control character.
    EXPECT_THAT([] { XdgAutoStart().enable("Dorvane 1.6", "/x/\x01/d"); }, refused);
    EXPECT_THAT([] { XdgAutoStart().enable("Dorvane 1.6", ""); }, refused);
    QFile blocker(m_home.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_THAT([] { XdgAutoStart().enable("Dorvane 1.6", "/opt/dorvane/dorvane"); }, refused);
}

} // namespace
