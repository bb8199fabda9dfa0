// The English pictures: every picture that holds words has an English variant drawn by the same
// generator, which the English locale chooses; the pictures without words serve both languages.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QLocale>

#include "platform/skin_bundles.h"
#include "skins/window_art.h"
#include "ui/window_pictures.h"

namespace {

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of what each read gives, once in the tests' plain locale and once in English.
template <typename Read>
std::pair<QByteArray, QByteArray> InBothLanguages(Read read) {
    const QByteArray chinese = read();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QByteArray english = read();
    QLocale::setDefault(QLocale::c());
    return {chinese, english};
}

TEST(EnglishPictures, TheWindowsWordedPicturesHaveEnglishOnesOfTheSameSize) {
    namespace art = window_art;
    const QStringList worded{art::kBackground,   art::kRemote,      art::kStartLearning,
                             art::kStopLearning, art::kTipsLearned, art::kTipsLearning,
                             art::kTipsDeleting, art::kTipsEmpty,   art::kSplash};
    for (const art::Picture& picture : art::AllPictures()) {
        SCOPED_TRACE(picture.path.toStdString());
        const auto [chinese, english] = InBothLanguages([&] { return ReadResource(picture.path); });
        ASSERT_FALSE(chinese.isEmpty());
        EXPECT_EQ(chinese != english, worded.contains(picture.path));
        EXPECT_EQ(QImage::fromData(english).size(), picture.size);
    }
}

TEST(EnglishPictures, TheSkinsWordedPicturesHaveEnglishOnes) {
    SkinBundles bundles;
    ASSERT_TRUE(bundles.Register(QStringLiteral(KEYLEARN_PROGRAM_FOLDER)));
    const QStringList wordless{named_picture::kLearnedSwatch, named_picture::kBlueSwatch,
                               named_picture::kDownloadedSwatch};
    for (const QString& name : named_picture::kAll + QStringList{QStringLiteral("flash1")}) {
        SCOPED_TRACE(name.toStdString());
        const auto [chinese, english] =
            InBothLanguages([&] { return bundles.Read(SkinBundle::kWindow, name); });
        ASSERT_FALSE(chinese.isEmpty());
        EXPECT_EQ(chinese != english, !wordless.contains(name));
        EXPECT_EQ(QImage::fromData(english).size(), QImage::fromData(chinese).size());
    }
    // The key pictures hold no words.
    const auto [chinese, english] = InBothLanguages(
        [&] { return bundles.Read(SkinBundle::kLearnedKeys, QStringLiteral("gif48")); });
    EXPECT_FALSE(chinese.isEmpty());
    EXPECT_EQ(chinese, english);
}

}  // namespace
