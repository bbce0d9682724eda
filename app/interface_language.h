#pragma once

#include <QString>
#include <QTranslator>
#include <optional>

namespace kelvora {

// The languages of the windows. Chinese is the language the texts are written in.
enum class Language { Chinese, English };

// "zh" or "en", as the command line and the settings file spell them.
std::optional<Language> languageFromCode(const QString& code);
QString languageCode(Language language);

// The translators of the whole program: ours and Qt's own (dialog and message-box buttons).
// Showing another language sends every window a LanguageChange, on which it words itself again.
class InterfaceLanguage {
public:
    Language current() const { return current_; }
    void show(Language language);

    // The one the user chose last; Chinese when none was chosen or the settings name another.
    static Language remembered();
    static void remember(Language language);

    // --lang: the language of this run, whatever is remembered.
    static void overrideForThisRun(std::optional<Language> language);
    static Language atStart();

private:
    Language current_ = Language::Chinese;
    bool installed_ = false;
    QTranslator own_;
    QTranslator qt_;
};

}  // namespace kelvora
