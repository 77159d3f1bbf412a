// Feeds arbitrary bytes to the INI reader as a file, and random write sequences to the writer.
// Checks: no crash or sanitizer report, every written value reads back as written, and a batch
// session leaves the same bytes as the same writes made one call at a time.
#include "base/AppError.h"
#include "fuzz/FuzzSupport.h"
#include "inifile/Profile.h"
#include "inifile/ProfileSession.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using fuzz::check;
using fuzz::readBytes;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// What the engine should make of a name: one line, without surrounding blanks, ASCII lower case
// for comparisons. Written independently of the engine on purpose.
std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

std::string cleanLower(const std::string& name)
{
    std::string text = oneLine(name);
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    text = text.substr(begin, end - begin);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool keyRefused(const std::string& key)
{
    const std::string clean = cleanLower(key);
    return clean.find('=') != std::string::npos ||
           (!clean.empty() && (clean.front() == '[' || clean.front() == ';'));
}

// Candidate names: the pieces of the content between the INI punctuation.
std::vector<std::string> namesIn(const std::string& content)
{
    std::vector<std::string> names{""};
    std::string current;
    for (char c : content) {
        if (c == '\n' || c == '\r' || c == '[' || c == ']' || c == '=') {
            if (!current.empty() && names.size() < 24)
                names.push_back(current);
            current.clear();
        } else if (current.size() < 32) {
            current += c;
        }
    }
    if (!current.empty())
        names.push_back(current);
    return names;
}

std::string pickName(FuzzedDataProvider& input, const std::vector<std::string>& names)
{
    if (input.ConsumeBool())
        return input.ConsumeRandomLengthString(12);
    return names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
}

std::string pickValue(FuzzedDataProvider& input)
{
    if (input.ConsumeIntegralInRange(0, 15) == 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(2000, 2047);
        return std::string(length, input.ConsumeIntegral<char>());
    }
    return input.ConsumeRandomLengthString(40);
}

void readEverything(const std::string& file, const std::string& content)
{
    const profile::ProfileSession session(file);
    const std::vector<std::string> names = namesIn(content);
    int reads = 0;
    for (const std::string& section : names) {
        for (const std::string& key : names) {
            if (++reads > 200)
                return;
            const std::string value = session.readString(section, key, "\x01");
            check(value.size() <= 2047, "read value longer than 2047 bytes");
            (void)session.readInt(section, key, 0);
        }
    }
    // A section read without its name being looked up reads as a lookup by that name does.
    for (const profile::ProfileSession::SectionReader& section : session.sections())
        for (const std::string& key : names)
            if (++reads < 400)
                check(section.readView(key) == session.readView(section.name(), key),
                      "section read differs from a read by name");
    if (names.size() > 1)
        check(readProfileString(file, names[1], names.back(), "\x01") ==
                  session.readString(names[1], names.back(), "\x01"),
              "single read differs from session read");
}

struct Expected
{
    std::string section, key, value;
};

void writeSequence(FuzzedDataProvider& input, const std::string& batchFile,
                   const std::string& singleFile, const std::string& content)
{
    const std::vector<std::string> names = namesIn(content);
    profile::ProfileSession batch(batchFile);
    std::map<std::pair<std::string, std::string>, Expected> expected;
    const int steps = input.ConsumeIntegralInRange(0, 10);
    for (int step = 0; step < steps && input.remaining_bytes() > 0; ++step) {
        const int op = input.ConsumeIntegralInRange(0, 9);
        const std::string section = pickName(input, names);
        if (op == 0) {
            batch.eraseSection(section);
            profile::ProfileSession single(singleFile);
            single.eraseSection(section);
            single.commit();
            std::erase_if(expected, [&](const auto& entry) {
                return entry.first.first == cleanLower(section);
            });
            continue;
        }
        if (op == 1) {
            batch.commit();
            continue;
        }
        const std::string key = pickName(input, names);
        const std::string value = pickValue(input);
        bool batchRefused = false;
        bool singleRefused = false;
        try {
            batch.writeString(section, key, value);
        } catch (const AppError&) {
            batchRefused = true;
        }
        try {
            writeProfileString(singleFile, section, key, value);
        } catch (const AppError&) {
            singleRefused = true;
        }
        check(batchRefused == keyRefused(key), "refusal does not match the key name");
        check(batchRefused == singleRefused, "batch and single write disagree on refusal");
        if (batchRefused)
            continue;
        check(batch.readString(section, key, "\x01") == oneLine(value),
              "written value does not read back");
        expected[{cleanLower(section), cleanLower(key)}] = {section, key, oneLine(value)};
    }
    batch.commit();
    check(readBytes(batchFile) == readBytes(singleFile), "batch differs from single writes");
    const profile::ProfileSession reread(batchFile);
    for (const auto& [ignored, e] : expected)
        check(reread.readString(e.section, e.key, "\x01") == e.value,
              "committed value does not read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzDir dir("fuzz-profile");
    FuzzedDataProvider input(data, size);
    const std::string content = input.ConsumeRandomLengthString(4096);
    const std::string batchFile = dir.file("batch.ini");
    const std::string singleFile = dir.file("single.ini");
    fuzz::writeBytes(batchFile, content);
    fuzz::writeBytes(singleFile, content);
    readEverything(batchFile, content);
    writeSequence(input, batchFile, singleFile, content);
    return 0;
}
