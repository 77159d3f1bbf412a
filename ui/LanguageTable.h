#pragma once

#include <QString>
#include <functional>
#include <vector>

class LanguageFile;
class QObject;

/// One text a language file supplies to a window: the key the files spell it with, and where the
/// text goes.
struct LanguageBinding
{
    const char* key;
    /// The text shown now, kept when the file lacks the key.
    std::function<QString()> get;
    std::function<void(const QString&)> set;
};

/// Binds key to a text property of object: "text" for actions, labels and buttons, "title" for
/// menus and group boxes, "windowTitle" for windows.
[[nodiscard]] LanguageBinding bindText(const char* key, QObject* object, const char* property);
/// Binds key to a text the window keeps for itself (a message, a file filter).
[[nodiscard]] LanguageBinding bindText(const char* key, QString& target);

/// Hands each key's text in file to its binding, in the table's order; a key the file lacks
/// keeps the binding's current text.
void applyLanguage(const LanguageFile& file, const std::vector<LanguageBinding>& table);
