#include "ProfileTestFiles.h"
#include "platform/Profile.h"
#include "platform/ProfileSession.h"

#include <climits>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct ReadCase
{
    const char* what;
    std::string content;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(ProfileRead, FollowsTheLineRules)
{
    const ReadCase cases[] = {
        {"case-blind names", "[Sec]\nKey=Value\n", "sEC", "kEY", "Value"},
        {"blanks around everything", "  [ Sec ] note\n \tKey \t=  a value \t\n", " Sec", "Key ",
         "a value"},
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
    ScratchDir dir;
    const std::string file = dir.file("read.ini");
    for (const ReadCase& c : cases) {
        writeBytes(file, c.content);
        EXPECT_EQ(readProfileString(file, c.section, c.key, "default"), c.expected) << c.what;
        EXPECT_EQ(ProfileSession(file).readString(c.section, c.key, "default"), c.expected)
            << c.what;
    }
    EXPECT_EQ(readProfileString(dir.file("missing.ini"), "S", "k", "default"), "default");
    EXPECT_EQ(readProfileString(dir.path(), "S", "k", "default"), "default");
}

TEST(ProfileRead, IntegersMustFitInt32)
{
    const std::pair<std::string, int> cases[] = {
        {"12", 12},
        {" -5 ", -5},
        {"+7", 7},
        {"0x1F", 31},
        {"0X10", 16},
        {"-0x10", -16},
        {"\"42\"", 42},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-0x80000000", INT_MIN},
        {"0x7fffffff", INT_MAX},
        {"2147483648", -1},
        {"0x80000000", -1},
        {"0xFFFFFFFF", -1},
        {"99999999999", -1},
        {"12abc", -1},
        {"abc", -1},
        {"", -1},
        {"0x", -1},
        {"- 5", -1},
        {"1 2", -1},
        {"0x-5", -1},
        {"1.5", -1},
    };
    ScratchDir dir;
    const std::string file = dir.file("int.ini");
    for (const auto& [value, expected] : cases) {
        writeBytes(file, "[S]\nn=" + value + "\n");
        EXPECT_EQ(readProfileInt(file, "s", "N", -1), expected) << value;
    }
    EXPECT_EQ(readProfileInt(file, "S", "missing", 3), 3);
}

TEST(ProfileRead, LongValuesAreCutAtACharacterBoundary)
{
    const std::string eAcute = "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(2047, 'x'), std::string(2047, 'x')},
        {std::string(2048, 'x'), std::string(2047, 'x')},
        {std::string(2046, 'a') + eAcute, std::string(2046, 'a')},
        {std::string(2045, 'a') + eAcute + "b", std::string(2045, 'a') + eAcute},
        {std::string(2045, 'a') + euro, std::string(2045, 'a')},
        {"\"" + std::string(2047, 'q') + "\"", std::string(2047, 'q')},
    };
    ScratchDir dir;
    const std::string file = dir.file("long.ini");
    for (const auto& [stored, expected] : cases) {
        writeBytes(file, "[S]\nk=" + stored + "\n");
        EXPECT_EQ(readProfileString(file, "S", "k", ""), expected) << stored.size();
    }
}

} // namespace
