#include "ProfileTestFiles.h"
#include "platform/AppError.h"
#include "platform/Profile.h"
#include "platform/ProfileSession.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Write
{
    std::string section, key, value;
};

struct WriteCase
{
    const char* what;
    std::string before;
    Write write;
    std::string after;
};

ino_t inodeOf(const std::string& file)
{
    struct stat info
    {};
    ::stat(file.c_str(), &info);
    return info.st_ino;
}

TEST(ProfileWrite, ChangesOnlyWhatItMust)
{
    const WriteCase cases[] = {
        {"new file", "", {"S", "k", "v"}, "[S]\nk=v\n"},
        {"new key after last key line, CRLF kept",
         "[S]\r\nk=old\r\n; c\r\n\r\n[T]\r\nx=1\r\n",
         {"s", "j", "new"},
         "[S]\r\nk=old\r\nj=new\r\n; c\r\n\r\n[T]\r\nx=1\r\n"},
        {"replace keeps the file's key spelling",
         "[s]\n  KEY = old ;x\n[t]\n",
         {"S", "key", "n"},
         "[s]\nKEY=n\n[t]\n"},
        {"new section after a last line without end",
         "[S]\nk=v",
         {"T", "k", "v"},
         "[S]\nk=v\n[T]\nk=v\n"},
        {"new key after a last line without end", "[S]\nk=v", {"S", "j", "w"}, "[S]\nk=v\nj=w\n"},
        {"new key under a bare header", "[S]", {"S", "j", "w"}, "[S]\nj=w\n"},
        {"lone CR file", "[S]\rk=v\r", {"T", "a", "b"}, "[S]\rk=v\r[T]\ra=b\r"},
        {"first of duplicate sections",
         "[S]\nk=1\n[S]\nk=2\n",
         {"S", "k", "3"},
         "[S]\nk=3\n[S]\nk=2\n"},
        {"BOM kept", "\xEF\xBB\xBF[S]\nk=1\n", {"S", "k", "2"}, "\xEF\xBB\xBF[S]\nk=2\n"},
        {"blanks kept by quoting", "", {"S", "k", " a "}, "[S]\nk=\" a \"\n"},
        {"enclosing quotes kept by quoting", "", {"S", "k", "'q'"}, "[S]\nk=\"'q'\"\n"},
        {"line breaks cannot inject a section",
         "[S]\nk=1\n",
         {"S", "k", "x\r\n[Evil]\nk=1"},
         "[S]\nk=x  [Evil] k=1\n"},
        {"line breaks in names", "", {"A\nB", " k\r", "v"}, "[A B]\nk=v\n"},
        {"] in a section name", "", {"a]b", "k", "v"}, "[a]b]\nk=v\n"},
    };
    ScratchDir dir;
    const std::string file = dir.file("write.ini");
    for (const WriteCase& c : cases) {
        std::filesystem::remove(file);
        if (!c.before.empty())
            writeBytes(file, c.before);
        writeProfileString(file, c.write.section, c.write.key, c.write.value);
        EXPECT_EQ(readBytes(file), c.after) << c.what;
    }
}

TEST(ProfileWrite, EqualValueLeavesTheFileUntouched)
{
    ScratchDir dir;
    const std::string file = dir.file("same.ini");
    writeBytes(file, "[S]\nK = \"v\" \n");
    const ino_t before = inodeOf(file);
    writeProfileString(file, "s", "k", "v");
    EXPECT_EQ(readBytes(file), "[S]\nK = \"v\" \n");
    EXPECT_EQ(inodeOf(file), before); // not even replaced by an identical copy
}

TEST(ProfileWrite, ValuesReadBackAsWritten)
{
    const std::string values[] = {
        "  leading",
        "trailing\t",
        "\"quoted\"",
        "'single'",
        "\"",
        "'",
        "a=b;c[d]e]",
        "",
        "; not a comment",
        "[not a header]",
        "caf\xC3\xA9 \xE2\x82\xAC",
        std::string(2047, 'x'),
        " " + std::string(2045, 'y') + " ",
    };
    ScratchDir dir;
    const std::string file = dir.file("round.ini");
    for (const std::string& value : values) {
        writeProfileString(file, " Sec ", " Key ", value);
        EXPECT_EQ(readProfileString(file, "sec", "key", "default"), value) << value;
    }
    writeProfileString(file, "S", "k", std::string(2048, 'z'));
    EXPECT_EQ(readProfileString(file, "S", "k", ""), std::string(2047, 'z'));
    writeProfileString(file, "S", "k", std::string(2046, 'a') + "\xC3\xA9");
    EXPECT_EQ(readProfileString(file, "S", "k", ""), std::string(2046, 'a'));
    writeProfileString(file, "S", "flag", "1");
    EXPECT_EQ(readProfileInt(file, "S", "flag", 0), 1);
}

TEST(ProfileWrite, BatchEqualsSequenceOfSingleWrites)
{
    const std::string starts[] = {
        "",
        "; settings\r\n[Options]\r\nLanguage=English\r\n\r\n[Event1]\r\nDate=x\r\n",
        "\xEF\xBB\xBF  [event0]  \n  date = old \n;c\n[EVENT0]\ndate=dup\nx",
        "[Event0]\rTitle=t\r[Event2]",
        "garbage\0\xFF\n[Event1\nTime=1"
        "2\n[Event1]",
    };
    std::vector<Write> writes;
    for (int i = 0; i < 4; ++i) {
        const std::string section = "Event" + std::to_string(i);
        writes.push_back({section, "Date", "0" + std::to_string(i) + ".01.2025"});
        writes.push_back({section, "Title", i % 2 ? " spaced " : "\"quoted\""});
        writes.push_back({section, "date", "old"});
        writes.push_back({"Options", "Events", std::to_string(i)});
    }
    ScratchDir dir;
    for (const std::string& start : starts) {
        writeBytes(dir.file("single.ini"), start);
        writeBytes(dir.file("batch.ini"), start);
        ProfileSession session(dir.file("batch.ini"));
        for (const Write& w : writes) {
            writeProfileString(dir.file("single.ini"), w.section, w.key, w.value);
            session.writeString(w.section, w.key, w.value);
            EXPECT_EQ(session.readString(w.section, w.key, "?"), w.value);
        }
        session.commit();
        EXPECT_EQ(readBytes(dir.file("batch.ini")), readBytes(dir.file("single.ini"))) << start;
    }
}

TEST(ProfileSession, EraseUncoversALaterDuplicate)
{
    ScratchDir dir;
    const std::string file = dir.file("erase.ini");
    writeBytes(file, "top\n[A]\nk=1\n[B]\nk=2\n[a]\nk=3\n");
    ProfileSession session(file);
    EXPECT_EQ(session.sectionNames(), (std::vector<std::string>{"A", "B"}));
    session.eraseSection("a");
    EXPECT_EQ(session.readString("A", "k", ""), "3");
    EXPECT_EQ(session.sectionNames(), (std::vector<std::string>{"B", "a"}));
    session.commit();
    EXPECT_EQ(readBytes(file), "top\n[B]\nk=2\n[a]\nk=3\n");

    // New lines follow the first line left after the erase, as a fresh read would.
    writeBytes(file, "[A]\r\nk=1\r\n[B]");
    ProfileSession crlf(file);
    crlf.eraseSection("A");
    crlf.writeString("B", "j", "2");
    crlf.commit();
    EXPECT_EQ(readBytes(file), "[B]\nj=2\n");
}

TEST(ProfileWrite, RefusedWriteLeavesTargetIntact)
{
    ScratchDir dir;
    const std::string missingDir = dir.file("missing/events.ini");
    EXPECT_THROW(
        {
            try {
                writeProfileString(missingDir, "S", "k", "v");
            } catch (const AppError& e) {
                EXPECT_STREQ(e.what(), ("Unable to write to " + missingDir).c_str());
                throw;
            }
        },
        AppError);

    std::filesystem::create_directory(dir.file("adir"));
    EXPECT_THROW(writeProfileString(dir.file("adir"), "S", "k", "v"), AppError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("adir")));

    // Key names that could never be read back are refused rather than mangled.
    const std::string file = dir.file("keep.ini");
    writeBytes(file, "[S]\nk=1\n");
    for (const char* key : {"a=b", "[x]", "; c"})
        EXPECT_THROW(writeProfileString(file, "S", key, "v"), AppError) << key;
    EXPECT_EQ(readBytes(file), "[S]\nk=1\n");
    EXPECT_EQ(dir.entryCount(), 2U); // adir and keep.ini: no temporary left behind
}

TEST(ProfileWrite, KeepsPermissionBits)
{
    ScratchDir dir;
    const std::string file = dir.file("mode.ini");
    writeBytes(file, "[S]\nk=1\n");
    ::chmod(file.c_str(), 0640);
    writeProfileString(file, "S", "k", "2");
    struct stat info
    {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
}

TEST(ProfileWrite, RefusesReadOnlyFileAndDirectory)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ScratchDir dir;
    const std::string file = dir.file("ro.ini");
    writeBytes(file, "[S]\nk=1\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_THROW(writeProfileString(file, "S", "k", "2"), AppError);
    EXPECT_EQ(readBytes(file), "[S]\nk=1\n");

    const std::string unreadable = dir.file("wo.ini");
    writeBytes(unreadable, "[S]\nk=1\n");
    ::chmod(unreadable.c_str(), 0200);
    EXPECT_THROW(writeProfileString(unreadable, "S", "j", "2"), AppError);
    ::chmod(unreadable.c_str(), 0600);
    EXPECT_EQ(readBytes(unreadable), "[S]\nk=1\n");

    ::chmod(file.c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_THROW(writeProfileString(file, "S", "k", "2"), AppError);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(file), "[S]\nk=1\n");
    EXPECT_EQ(dir.entryCount(), 2U);
}

} // namespace
