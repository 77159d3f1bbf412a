#include "inifile/Profile.h"

#include "base/AppError.h"
#include "inifile/ProfileFile.h"
#include "inifile/ProfileSession.h"

#include <QDir>
#include <QTemporaryDir>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

namespace {

class Profile : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    [[nodiscard]] std::string path() const { return m_dir.path().toStdString(); }
    [[nodiscard]] std::string file(const std::string& name) const { return path() + "/" + name; }
    /// Entries in the folder, to see that no temporary file was left behind.
    [[nodiscard]] qsizetype entryCount() const
    {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
            .size();
    }
};

void writeBytes(const std::string& fileName, const std::string& bytes)
{
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct stat statOf(const std::string& fileName)
{
    struct stat info
    {};
    ::stat(fileName.c_str(), &info);
    return info;
}

TEST_F(Profile, ReadFollowsTheLineRules)
{
    const struct
    {
        const char* what;
        std::string content, section, key, expected;
    } cases[] = {
        {"case-blind names", "[Sec]\nKey=Value\n", "sEC", "kEY", "Value"},
        {"blanks", "  [ Sec ] note\n \tKey \t=  a value \t\n", " Sec", "Key ", "a value"},
        {"header runs to the last ]", "[a]b] x\nk=1\n", "a]b", "k", "1"},
        {"[ without ] is no header", "[S]\nk=1\n[T\nk=2\n", "S", "k", "1"},
        {"[ without ] is no key", "[S]\n[k=2\n", "S", "[k", "default"},
        {"comment is no key", "[S]\n ;k=c\nk=real\n", "S", "k", "real"},
        {"first key wins", "[S]\nk=first\nK=second\n", "S", "k", "first"},
        {"later duplicate section unread", "[S]\nk=1\n[s]\nj=2\n", "S", "j", "default"},
        {"key before any section", "k=0\n[S]\n", "S", "k", "default"},
        {"line without =", "[S]\nk\nk=2\n", "S", "k", "2"},
        {"split at first =", "[S]\nk = a=b ;c\n", "S", "k", "a=b ;c"},
        {"empty value is no default", "[S]\nk=\n", "S", "k", ""},
        {"quotes: inner quote kept", "[S]\nk=\"a\"b\"\n", "S", "k", "a\"b"},
        {"quotes: one pair only", "[S]\nk=\"\"abc\"\"\n", "S", "k", "\"abc\""},
        {"quotes: lone quote", "[S]\nk=\"\n", "S", "k", "\""},
        {"quotes: single", "[S]\nk= 'x y' \n", "S", "k", "x y"},
        {"quotes: mismatched", "[S]\nk=\"x'\n", "S", "k", "\"x'"},
        {"quotes: empty pair", "[S]\nk=\"\"\n", "S", "k", ""},
        {"CRLF and BOM", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "v"},
        {"lone CR", "[S]\rj=w\rk=v", "S", "k", "v"},
        {"NUL bytes are data", "[S]\nk=a\0b\n"s, "S", "k", "a\0b"s},
        {"garbage around", "\xFF\xFE\0[\n]]\n[S]\n\x01=\x02\nk=ok\n"s, "S", "k", "ok"},
        {"missing key", "[S]\nj=1\n", "S", "k", "default"},
        {"missing section", "[T]\nk=1\n", "S", "k", "default"},
    };
    const std::string ini = file("read.ini");
    for (const auto& c : cases) {
        writeBytes(ini, c.content);
        EXPECT_EQ(readProfileString(ini, c.section, c.key, "default"), c.expected) << c.what;
    }
    EXPECT_EQ(readProfileString(file("missing.ini"), "S", "k", "default"), "default");
    EXPECT_EQ(readProfileString(path(), "S", "k", "default"), "default");
}

TEST_F(Profile, IntegersMustFitInt32)
{
    const std::pair<std::string, int> valid[] = {{"12", 12},
                                                 {" -5 ", -5},
                                                 {"+7", 7},
                                                 {"0x1F", 31},
                                                 {"0X10", 16},
                                                 {"-0x10", -16},
                                                 {"\"42\"", 42},
                                                 {"010", 10},
                                                 {"2147483647", INT_MAX},
                                                 {"-0x80000000", INT_MIN},
                                                 {"-2147483648", INT_MIN},
                                                 {"0x7fffffff", INT_MAX}};
    const std::string ini = file("int.ini");
    for (const auto& [value, expected] : valid) {
        writeBytes(ini, "[S]\nn=" + value + "\n");
        EXPECT_EQ(readProfileInt(ini, "s", "N", -1), expected) << value;
    }
    for (const std::string bad : {"2147483648", "0x80000000", "0xFFFFFFFF", "99999999999", "12abc",
                                  "abc", "", "0x", "- 5", "1 2", "0x-5", "1.5"}) {
        writeBytes(ini, "[S]\nn=" + bad + "\n");
        EXPECT_EQ(readProfileInt(ini, "S", "n", -1), -1) << bad;
    }
    EXPECT_EQ(readProfileInt(ini, "S", "missing", 3), 3);
}

TEST_F(Profile, LongValuesAreCutAtACharacterBoundary)
{
    const std::string a2045(2045, 'a');
    const std::string eAcute = "\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(2047, 'x'), std::string(2047, 'x')},
        {std::string(2048, 'x'), std::string(2047, 'x')},
        {a2045 + "a" + eAcute, a2045 + "a"},
        {a2045 + eAcute + "b", a2045 + eAcute},
        {a2045 + "\xE2\x82\xAC", a2045},
        {"\"" + std::string(2047, 'q') + "\"", std::string(2047, 'q')}};
    const std::string ini = file("long.ini");
    for (const auto& [stored, expected] : cases) {
        writeBytes(ini, "[S]\nk=" + stored + "\n");
        EXPECT_EQ(readProfileString(ini, "S", "k", ""), expected) << stored.size();
    }
}

struct Write
{
    std::string section, key, value;
};

TEST_F(Profile, WriteChangesOnlyWhatItMust)
{
    const struct
    {
        const char* what;
        std::string before;
        Write write;
        std::string after;
    } cases[] = {
        {"new file", "", {"S", "k", "v"}, "[S]\nk=v\n"},
        {"new key after last key line, CRLF kept",
         "[S]\r\nk=old\r\n; c\r\n\r\n[T]\r\nx=1\r\n",
         {"s", "j", "new"},
         "[S]\r\nk=old\r\nj=new\r\n; c\r\n\r\n[T]\r\nx=1\r\n"},
        {"replace keeps the file's key",
         "[s]\n  KEY = old ;x\n[t]\n",
         {"S", "key", "n"},
         "[s]\nKEY=n\n[t]\n"},
        {"new section after an open end", "[S]\nk=v", {"T", "k", "v"}, "[S]\nk=v\n[T]\nk=v\n"},
        {"new key after an open end", "[S]\nk=v", {"S", "j", "w"}, "[S]\nk=v\nj=w\n"},
        {"new key under a bare header", "[S]", {"S", "j", "w"}, "[S]\nj=w\n"},
        {"lone CR file", "[S]\rk=v\r", {"T", "a", "b"}, "[S]\rk=v\r[T]\ra=b\r"},
        {"first of duplicates", "[S]\nk=1\n[S]\nk=2\n", {"S", "k", "3"}, "[S]\nk=3\n[S]\nk=2\n"},
        {"BOM kept", "\xEF\xBB\xBF[S]\nk=1\n", {"S", "k", "2"}, "\xEF\xBB\xBF[S]\nk=2\n"},
        {"blanks kept by quoting", "", {"S", "k", " a "}, "[S]\nk=\" a \"\n"},
        {"outer quotes kept by quoting", "", {"S", "k", "'q'"}, "[S]\nk=\"'q'\"\n"},
        {"line breaks cannot inject a section",
         "[S]\nk=1\n",
         {"S", "k", "x\r\n[Evil]\nk=1"},
         "[S]\nk=x  [Evil] k=1\n"},
        {"line breaks in names", "", {"A\nB", " k\r", "v"}, "[A B]\nk=v\n"},
        {"] in a section name", "", {"a]b", "k", "v"}, "[a]b]\nk=v\n"},
    };
    const std::string ini = file("write.ini");
    for (const auto& c : cases) {
        std::filesystem::remove(ini);
        if (!c.before.empty())
            writeBytes(ini, c.before);
        writeProfileString(ini, c.write.section, c.write.key, c.write.value);
        EXPECT_EQ(readBytes(ini), c.after) << c.what;
    }
}

TEST_F(Profile, EqualValueLeavesTheFileUntouched)
{
    const std::string ini = file("same.ini");
    writeBytes(ini, "[S]\nK = \"v\" \n");
    const ino_t before = statOf(ini).st_ino;
    writeProfileString(ini, "s", "k", "v");
    EXPECT_EQ(readBytes(ini), "[S]\nK = \"v\" \n");
    EXPECT_EQ(statOf(ini).st_ino, before) << "not even replaced by an identical copy";
}

TEST_F(Profile, ValuesReadBackAsWritten)
{
    std::vector<std::string> values = {"  leading",
                                       "trailing\t",
                                       "\"quoted\"",
                                       "'single'",
                                       "\"",
                                       "'",
                                       "a=b;c[d]e]",
                                       "",
                                       "; not a comment",
                                       "[not a header]",
                                       "caf\xC3\xA9 \xE2\x82\xAC"};
    values.emplace_back(2047, 'x');
    values.push_back(" " + std::string(2045, 'y') + " ");
    const std::string ini = file("round.ini");
    for (const std::string& value : values) {
        writeProfileString(ini, " Sec ", " Key ", value);
        EXPECT_EQ(readProfileString(ini, "sec", "key", "default"), value) << value;
    }
}

TEST_F(Profile, BatchEqualsSequenceOfSingleWrites)
{
    const std::string starts[] = {
        "",
        "; settings\r\n[Options]\r\nLanguage=English\r\n\r\n[Event1]\r\nDate=x\r\n",
        "\xEF\xBB\xBF  [event0]  \n  date = old \n;c\n[EVENT0]\ndate=dup\nx",
        "[Event0]\rTitle=t\r[Event2]",
        "garbage\0\xFF\n[Event1\nTime=1\n[Event1]"s,
        "\r[Event0]\n\n[Options]\n\n"};
    std::vector<Write> writes;
    for (int i = 0; i < 4; ++i) {
        const std::string section = "Event" + std::to_string(i);
        writes.push_back({section, "Date", "0" + std::to_string(i) + ".01.2025"});
        writes.push_back({section, "Title", i % 2 ? " spaced " : "\"quoted\""});
        writes.push_back({section, "date", "old"});
        writes.push_back({"Options", "Events", std::to_string(i)});
    }
    for (const std::string& start : starts) {
        writeBytes(file("single.ini"), start);
        writeBytes(file("batch.ini"), start);
        profile::ProfileSession session(file("batch.ini"));
        for (const Write& w : writes) {
            writeProfileString(file("single.ini"), w.section, w.key, w.value);
            session.writeString(w.section, w.key, w.value);
            EXPECT_EQ(session.readString(w.section, w.key, "?"), w.value);
        }
        session.commit();
        EXPECT_EQ(readBytes(file("batch.ini")), readBytes(file("single.ini"))) << start;
    }
}

std::vector<std::string_view> sectionNames(const profile::ProfileSession& session)
{
    std::vector<std::string_view> names;
    for (const profile::ProfileSession::SectionReader& section : session.sections())
        names.push_back(section.name());
    return names;
}

TEST_F(Profile, EraseUncoversALaterDuplicate)
{
    const std::string ini = file("erase.ini");
    writeBytes(ini, "top\n[A]\nk=1\n[B]\nk=2\n[a]\nk=3\n");
    profile::ProfileSession session(ini);
    EXPECT_EQ(sectionNames(session), (std::vector<std::string_view>{"A", "B"}));
    session.eraseSection("a");
    EXPECT_EQ(session.readString("A", "k", ""), "3");
    EXPECT_EQ(sectionNames(session), (std::vector<std::string_view>{"B", "a"}));
    session.commit();
    EXPECT_EQ(readBytes(ini), "top\n[B]\nk=2\n[a]\nk=3\n");

    // New lines follow the first line left after the erase, as a fresh read would.
    writeBytes(ini, "[A]\r\nk=1\r\n[B]");
    profile::ProfileSession crlf(ini);
    crlf.eraseSection("A");
    crlf.writeString("B", "j", "2");
    crlf.commit();
    EXPECT_EQ(readBytes(ini), "[B]\nj=2\n");
}

TEST_F(Profile, RefusedWriteLeavesEverythingAsItWas)
{
    // The message names the reason the system gave, where there is one.
    const auto refused = [](const std::string& ini, const std::string& key,
                            const std::string& reason = {}) {
        try {
            writeProfileString(ini, "S", key, "2");
            ADD_FAILURE() << "written: " << ini << " " << key;
        } catch (const AppError& e) {
            EXPECT_EQ(e.what(), "Unable to write to " + ini + (reason.empty() ? "" : ": " + reason))
                << key;
        }
    };
    const std::string denied = "Permission denied";
    refused(file("missing/events.ini"), "k", "No such file or directory");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("adir"));
    refused(file("adir"), "k", "Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(file("adir")));

    const std::string ini = file("keep.ini");
    writeBytes(ini, "[S]\nk=1\n");
    ::chmod(ini.c_str(), 0640);
    writeProfileString(ini, "S", "k", "1 ");
    EXPECT_EQ(statOf(ini).st_mode & 07777, 0640U) << "a write keeps the permission bits";

    writeBytes(ini, "[S]\nk=1\n");
    // Key names that could never be read back are refused rather than mangled.
    for (const char* key : {"a=b", "[x]", "; c"})
        refused(ini, key);
    // Read-only stops even root, whom access() would let through.
    ::chmod(ini.c_str(), 0444);
    refused(ini, "k", denied);
    if (::geteuid() != 0) {         // other permission bits do not stop root
        ::chmod(ini.c_str(), 0200); // unreadable: never overwritten with what little is known
        refused(ini, "j", denied);
        ::chmod(ini.c_str(), 0644);
        ::chmod(path().c_str(), 0555);
        refused(ini, "k", denied);
        ::chmod(path().c_str(), 0755);
    }
    EXPECT_EQ(readBytes(ini), "[S]\nk=1\n");
    EXPECT_EQ(entryCount(), 2) << "adir and keep.ini: no temporary left behind";
}

TEST_F(Profile, TemporaryIsPrivateUntilItGetsTheFinalMode)
{
    const mode_t savedMask = ::umask(0);
    {
        const profile::TemporaryFile temp = profile::createTemporaryFile(file("t.ini"));
        ASSERT_TRUE(temp.fd.valid());
        EXPECT_EQ(statOf(temp.name).st_mode & 07777, 0600U);
        EXPECT_TRUE(::fcntl(temp.fd.get(), F_GETFD) & FD_CLOEXEC);
        EXPECT_TRUE(std::regex_match(temp.name, std::regex(R"(.*/\.t\.ini\.[0-9a-f]{16}\.tmp)")))
            << temp.name;
        std::filesystem::remove(temp.name);
    }
    const struct
    {
        mode_t umask, existing, expected; // existing 0: a new file
    } cases[] = {{0, 0, 0644}, {027, 0, 0640}, {077, 0, 0600}, {077, 0606, 0606}};
    const std::string ini = file("mode.ini");
    for (const auto& c : cases) {
        std::filesystem::remove(ini);
        if (c.existing != 0) {
            writeBytes(ini, "");
            ::chmod(ini.c_str(), c.existing);
        }
        ::umask(c.umask);
        writeProfileString(ini, "S", "k", "v");
        ::umask(0);
        EXPECT_EQ(statOf(ini).st_mode & 07777, c.expected)
            << std::oct << c.umask << " " << c.existing;
    }
    ::umask(savedMask);
    EXPECT_EQ(entryCount(), 1);
}

TEST_F(Profile, RootKeepsOwnerGroupAndSpecialBits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    const std::string ini = file("owned.ini");
    writeBytes(ini, "[S]\nk=1\n");
    ASSERT_EQ(::chown(ini.c_str(), 1234, 1235), 0);
    // A change of owner clears set-ID bits: the mode must be set after the owner.
    ::chmod(ini.c_str(), 06750);
    writeProfileString(ini, "S", "k", "2");
    const struct stat info = statOf(ini);
    EXPECT_EQ(readBytes(ini), "[S]\nk=2\n");
    EXPECT_EQ(info.st_uid, 1234U);
    EXPECT_EQ(info.st_gid, 1235U);
    EXPECT_EQ(info.st_mode & 07777, 06750U);
}

TEST_F(Profile, OnlyStaleTemporariesOfTheTargetAreRemoved)
{
    const std::string ini = file("events.ini");
    writeBytes(ini, "[S]\n");
    const std::string hex = "0123456789abcdef";
    // Cut inside the "é" that straddles byte 100: the name keeps the whole character or none.
    const std::string longName = std::string(99, 'x') + "\xC3\xA9" + std::string(100, 'y');
    const std::string longTemp = profile::createTemporaryFile(file(longName)).name;
    const std::string stale[] = {file(".events.ini." + hex + ".tmp"),
                                 profile::createTemporaryFile(ini).name, longTemp};
    for (const std::string& name : stale)
        writeBytes(name, "half written");
    EXPECT_EQ(longTemp.substr(path().size() + 1, 101), "." + std::string(99, 'x') + ".");

    const std::string unrelated[] = {
        ".events.ini.0123456789abcdeF.tmp",  ".events.ini.0123456789abcde.tmp",
        ".events.ini.0123456789abcdef0.tmp", ".events.ini.0123456789abcdeg.tmp",
        "events.ini." + hex + ".tmp",        ".events.ini." + hex + ".tmp~",
        ".other.ini." + hex + ".tmp",        ".events.ini.x." + hex + ".tmp"};
    for (const std::string& name : unrelated)
        writeBytes(file(name), "");
    const std::string link = file(".events.ini.1111111111111111.tmp");
    std::filesystem::create_symlink(ini, link);
    const std::string dir = file(".events.ini.2222222222222222.tmp");
    std::filesystem::create_directory(dir);
    writeBytes(dir + "/inside", "");

    profile::removeStaleTemporaries(ini);
    profile::removeStaleTemporaries(file(longName));
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(name))) << name;
    for (const std::string& name : unrelated)
        EXPECT_TRUE(std::filesystem::exists(file(name))) << name;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(ini), "[S]\n");
    EXPECT_TRUE(std::filesystem::exists(dir + "/inside"));
}

} // namespace
