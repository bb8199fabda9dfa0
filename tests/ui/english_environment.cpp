// Linked into a test program, runs all its tests in English: the program's English translation
// from beside the built program, and the English locale as the default one, which chooses the
// English pictures. Everything a test compares with comes from the same texts, so a table of
// window states runs through unchanged and sees English texts, English boxes (the scripted
// prompter refuses a Chinese character then) and English pictures.
#include <gtest/gtest.h>

#include <QLocale>
#include <memory>

#include "ui/language.h"

namespace {

class EnglishEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        language_ = std::make_unique<ProgramLanguage>(Language::kEnglish,
                                                      QStringLiteral(KEYLEARN_PROGRAM_FOLDER));
        ASSERT_EQ(language_->Shown(), Language::kEnglish);
    }
    void TearDown() override { language_.reset(); }

  private:
    std::unique_ptr<ProgramLanguage> language_;
};

[[maybe_unused]] ::testing::Environment* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new EnglishEnvironment);

}  // namespace
