// Feeds arbitrary bytes to the language reader as a language file. Checks: no crash or sanitizer
// report, a key the file does not name keeps the current text, and no text spans lines.
#include "fuzz/FuzzSupport.h"
#include "i18n/LanguageFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

using fuzz::check;

// Keys the program asks for, with the punctuation they carry.
const char* const kKeys[] = {
    "Form1->Caption",
    "ListView1->Column[0]->Caption",
    "ListView1->Column[4]->Caption",
    "MFile->Caption",
    "MLangRussian->Caption",
    "FormAdd->Caption",
    "FormAdd->OpenDialog1->Filter",
    "StringActive",
    "StringDone",
    "StringReally",
    "StringPassed",
    "AboutBox->LabelSite->Caption",
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A language folder of its own, found as the program's folder: the current folder holds no
// "language/Fuzz.ini".
class LanguageFolder
{
public:
    LanguageFolder() : m_dir("fuzz-language")
    {
        std::filesystem::create_directory(m_dir.file("language"));
    }
    [[nodiscard]] QString programDir() const { return QString::fromStdString(m_dir.path()); }
    [[nodiscard]] std::string file(const char* name) const
    {
        return m_dir.file("language") + "/" + name;
    }

private:
    fuzz::FuzzDir m_dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const LanguageFolder folder;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeBytes(folder.file("Fuzz.ini"), bytes);

    const std::string content = lower(bytes);
    const QString current = QStringLiteral("\u00abcurrent\u00bb");
    const LanguageFile file(QStringLiteral("Fuzz.ini"), folder.programDir());
    for (const char* key : kKeys) {
        const QString text = file.text(key, current);
        check(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')),
              "a text spans lines");
        if (content.find(lower(key)) == std::string::npos)
            check(text == current, "a key the file does not name changed the text");
    }
    return 0;
}
