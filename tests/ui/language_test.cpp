// The language the program speaks: chosen from the locale, the translation installed and given
// back, the Chinese texts exactly as they have always been.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include "ui/language.h"
#include "ui/texts.h"

namespace {

const QString kBuiltFolder = QStringLiteral(KEYLEARN_PROGRAM_FOLDER);

TEST(LanguageFor, ChineseForAChineseOrPlainLocaleAndEnglishForEveryOther) {
    const struct {
        const char* locale;
        Language language;
    } cases[] = {{"zh_CN", Language::kChinese}, {"zh_TW", Language::kChinese},
                 {"zh_HK", Language::kChinese}, {"C", Language::kChinese},
                 {"POSIX", Language::kChinese}, {"C.UTF-8", Language::kChinese},
                 {"en_GB", Language::kEnglish}, {"en_US", Language::kEnglish},
                 {"de_DE", Language::kEnglish}, {"ja_JP", Language::kEnglish},
                 {"fr_FR", Language::kEnglish}};
    for (const auto& c : cases)
        EXPECT_EQ(LanguageFor(QLocale(QString::fromLatin1(c.locale))), c.language) << c.locale;
}

// Each case starts from the tests' plain C locale and must leave it so.
class ProgramLanguageTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(QLocale().language(), QLocale::C);
        EXPECT_EQ(QString(texts::kPromptCaption), QStringLiteral("提示"));
    }
};

TEST_F(ProgramLanguageTest, EnglishComesFromItsTranslationAndGoesWithIt) {
    const ProgramLanguage language(Language::kEnglish, kBuiltFolder);
    EXPECT_EQ(language.Shown(), Language::kEnglish);
    EXPECT_EQ(ShownLanguage(), Language::kEnglish);
    EXPECT_EQ(QString(texts::kPromptCaption), QStringLiteral("Notice"));
    EXPECT_EQ(texts::KeyLearned(texts::kKeyTvMute), QStringLiteral("The TV/Mute key was learned!"));
    EXPECT_EQ(QString(texts::kFirmwareTooOld),
              QStringLiteral("The remote control's firmware is too old. Please download the "
                             "latest firmware from the www.example.com website!"));
}

TEST_F(ProgramLanguageTest, ChineseNeedsNoTranslation) {
    const ProgramLanguage language(Language::kChinese, QString());
    EXPECT_EQ(language.Shown(), Language::kChinese);
    EXPECT_EQ(QString(texts::kPromptCaption), QStringLiteral("提示"));
    // The C locale already shows Chinese and is kept.
    EXPECT_EQ(QLocale().language(), QLocale::C);
}

// A German desktop whose English translation is missing gets Chinese, pictures included.
TEST_F(ProgramLanguageTest, EnglishWithoutItsTranslationIsChineseThroughout) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    {
        QTemporaryDir empty;
        const ProgramLanguage language(Language::kEnglish, empty.path());
        EXPECT_EQ(language.Shown(), Language::kChinese);
        EXPECT_EQ(ShownLanguage(), Language::kChinese);
        EXPECT_EQ(texts::RelearnQuestion(texts::kKeyVolumeDown),
                  QStringLiteral("音量－键编码已学习过，要重新学习吗?"));
    }
    EXPECT_EQ(QLocale().language(), QLocale::German);
    QLocale::setDefault(QLocale::c());
}

// The texts with a part put in (the web address, a key, a name, a size) are one text each in
// the translation; in Chinese they read as they always have, byte for byte.
TEST(ChineseTexts, TextsWithAPartPutInReadAsTheyAlwaysHave) {
    const QString key = QStringLiteral("CBL/音量+");
    const struct {
        QString shown;
        QString expected;
    } cases[] = {
        {texts::kUnsupportedRemote,
         QStringLiteral(
             "自学习软件不支持改遥控器，请到www.example.com网站下载最新的该款自学习软件！")},
        {texts::kFirmwareTooOld,
         QStringLiteral(
             "遥控器固件程序版本比较低，请到www.example.com网站下载最新的固件程序版本！")},
        {texts::kSoftwareTooOld,
         QStringLiteral("自学习软件版本比较低，请到www.example.com下载最新的该款自学习软件！")},
        {texts::kFirmwareProgramTooOld,
         QStringLiteral("遥控器固件程序版本比较低，请到www.example.com下载最新的固件程序版本！")},
        {texts::kFirmwareVersionTooOld,
         QStringLiteral("遥控器固件版本比较低，请到www.example.com下载最新的固件程序版本！")},
        {texts::RemoteInUse(QStringLiteral("remotectl")),
         QStringLiteral("遥控器正在被remotectl使用，请先关闭它再启动自学习软件！")},
        {texts::KeyStillLearning(key),
         QStringLiteral("CBL/音量+按键正在学习，要停止CBL/音量+按键,请点击停止学习按钮")},
        {texts::RelearnQuestion(key), QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?")},
        {texts::ReadyToLearn(key), QStringLiteral("准备学习CBL/音量+按键， 请发码")},
        {texts::KeyBeingLearned(key), QStringLiteral("CBL/音量+键正在学习！")},
        {texts::KeyLearned(key), QStringLiteral("CBL/音量+键学习成功！")},
        {texts::ScreenTooSmall(800, 600),
         QStringLiteral(
             "你目前的显示器分辨率是800*600\n为了运行该软件，你的显示器分辨率至少要1024*768")},
        {texts::FolderNotEntered(QStringLiteral("/opt/%1 tool")),
         QStringLiteral("无法进入程序所在的文件夹，未能打开：/opt/%1 tool")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, c.expected);
}

}  // namespace
