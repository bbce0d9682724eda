#include "app/interface_language.h"

#include <QCoreApplication>

#include "platform/settings_store.h"

namespace kelvora {

namespace {

const QString kLanguageKey = QStringLiteral("interface/language");

std::optional<Language> runOverride;

}  // namespace

std::optional<Language> languageFromCode(const QString& code) {
    if (code == QLatin1String("zh")) {
        return Language::Chinese;
    }
    if (code == QLatin1String("en")) {
        return Language::English;
    }
    return std::nullopt;
}

QString languageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

void InterfaceLanguage::show(Language language) {
    if (installed_ && language == current_) {
        return;
    }
    // Set first: the windows ask for it as they hear of the change.
    current_ = language;
    installed_ = true;
    QCoreApplication::removeTranslator(&own_);
    QCoreApplication::removeTranslator(&qt_);
    // The texts are written in Chinese: Chinese needs only Qt's own texts translated, English
    // only ours.
    const bool loaded = language == Language::English
                            ? own_.load(QStringLiteral(":/i18n/kelvora_en.qm"))
                            : qt_.load(QStringLiteral(":/i18n/qtbase_zh_CN.qm"));
    if (loaded) {
        QCoreApplication::installTranslator(language == Language::English ? &own_ : &qt_);
    }
    // Windows without a native window get the change posted; word them all again now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

Language InterfaceLanguage::remembered() {
    const QString code = settingsStore()->value(kLanguageKey).toString();
    return languageFromCode(code).value_or(Language::Chinese);
}

void InterfaceLanguage::remember(Language language) {
    const auto store = settingsStore();
    store->setValue(kLanguageKey, languageCode(language));
    store->sync();
}

void InterfaceLanguage::overrideForThisRun(std::optional<Language> language) {
    runOverride = language;
}

Language InterfaceLanguage::atStart() {
    return runOverride.value_or(remembered());
}

}  // namespace kelvora
