#include "ui/FileFilter.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(FileFilterTest, LanguageFileFiltersBecomeQtFilters)
{
    const std::pair<QString, QString> cases[] = {
        {u"All Supprted Files (*.wav;*.mp3)|*.wav;*.mp3|WAV Files (*.wav)|*.wav"_s,
         u"All Supprted Files (*.wav *.mp3);;WAV Files (*.wav)"_s},
        {u"All Files (*.*)|*.*"_s, u"All Files (*)"_s},
        {u"Sounds|*.wav; *.ogg|Dangling"_s, u"Sounds (*.wav *.ogg)"_s},
        {u""_s, u""_s},
    };
    for (const auto& [filter, qt] : cases)
        EXPECT_EQ(FileFilter::toQt(filter), qt) << filter.toStdString();
}

} // namespace
