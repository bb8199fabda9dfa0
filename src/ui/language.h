#pragma once
// The language the program speaks. Chinese is its own: every text is written in it and the
// pictures are drawn in it. English comes from a translation beside the program
// (keylearn_en.qm) with pictures of its own; every other language of the user's gets English,
// which more of the world reads than Chinese.
//
// The shown language is that of the default QLocale: the window's pictures are Qt resources
// with English variants, which Qt picks by the default locale, and the help page follows it.
// ProgramLanguage sets it together with the translation, so that the two never disagree.

#include <QLocale>
#include <QString>
#include <memory>

class QTranslator;

enum class Language { kChinese, kEnglish };

// Chinese for a Chinese locale and for the plain C/POSIX locale (what the program has always
// shown); English for every other language.
Language LanguageFor(const QLocale& locale);

// The language shown now (that of the default locale).
Language ShownLanguage();

// The file name of the translation of the English texts, without ".qm".
inline const QString kEnglishTranslation = QStringLiteral("keylearn_en");

// Shows the program in a language while it exists: installs the translation from folder and
// makes the language's locale the default one. Chinese needs no translation; English without
// its translation falls back to Chinese, whole. One at a time, on the UI thread, with the
// application made.
class ProgramLanguage final {
  public:
    ProgramLanguage(Language wanted, const QString& folder);
    ~ProgramLanguage();
    ProgramLanguage(const ProgramLanguage&) = delete;
    ProgramLanguage& operator=(const ProgramLanguage&) = delete;

    Language Shown() const { return shown_; }

  private:
    std::unique_ptr<QTranslator> translator_;
    QLocale previousDefault_;
    Language shown_ = Language::kChinese;
};
