#pragma once

#include <QString>

namespace FileFilter {

/// A filter as language files write it, description and patterns all separated by "|" and
/// the patterns of one entry by ";" ("Sounds (*.wav;*.mp3)|*.wav;*.mp3|All Files (*.*)|*.*"),
/// in Qt's form ("Sounds (*.wav *.mp3);;All Files (*)"). A pattern list in brackets at the end
/// of a description is replaced by the entry's patterns, which Qt reads from there; "*.*"
/// means every file, as it does on Windows. A description without patterns is dropped.
[[nodiscard]] QString toQt(const QString& filter);

} // namespace FileFilter
