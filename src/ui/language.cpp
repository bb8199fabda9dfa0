#include "ui/language.h"

#include <QCoreApplication>
#include <QTranslator>

Language LanguageFor(const QLocale& locale) {
    switch (locale.language()) {
        case QLocale::Chinese:
        case QLocale::C:
            return Language::kChinese;
        default:
            return Language::kEnglish;
    }
}

Language ShownLanguage() {
    return LanguageFor(QLocale());
}

ProgramLanguage::ProgramLanguage(Language wanted, const QString& folder) {
    if (wanted == Language::kEnglish) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(kEnglishTranslation, folder) &&
            QCoreApplication::installTranslator(translator.get())) {
            translator_ = std::move(translator);
            shown_ = Language::kEnglish;
        } else {
            qWarning("the English translation %s is missing in %s: the program speaks Chinese",
                     qUtf8Printable(kEnglishTranslation), qUtf8Printable(folder));
        }
    }
    // A German desktop shows the English pictures, an English one whose translation is missing
    // the Chinese ones; a locale that already agrees stays as it is.
    if (ShownLanguage() != shown_)
        QLocale::setDefault(shown_ == Language::kEnglish ? QLocale(QLocale::English)
                                                         : QLocale(QLocale::Chinese));
}

ProgramLanguage::~ProgramLanguage() {
    if (translator_)
        QCoreApplication::removeTranslator(translator_.get());
    QLocale::setDefault(previousDefault_);
}
