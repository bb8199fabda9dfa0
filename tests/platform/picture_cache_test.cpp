#include "platform/picture_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <cstring>
#include <functional>

#include "platform/jpeg_decoder.h"

namespace {

constexpr quint64 kEdition = 0x1234;

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image));
    return bytes;
}

// A picture whose every pixel differs from its neighbours', in a colour given by seed: any row,
// column or channel out of place shows.
QImage Pattern(int width, int height, int seed, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y,
                                QColor((x * 7 + seed) % 256, (y * 13) % 256,
                                       (x + y + seed * 3) % 256, 255 - (x % 2) * 128));
    return image;
}

// The encoded pictures a test run decodes: a JPEG, and a picture with transparency and one
// without through Qt's readers.
struct Encoded {
    QByteArray jpeg = Encode(Pattern(33, 17, 1), "jpeg");
    QByteArray clear = Encode(Pattern(9, 5, 2, QImage::Format_ARGB32), "png");
    QByteArray png = Encode(Pattern(12, 7, 3), "png");
    QList<QByteArray> All() const { return {jpeg, clear, png}; }
};

bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 4) != 0)
            return false;
    return true;
}

class PictureCacheTest : public testing::Test {
  protected:
    QString File() const { return folder_.filePath(QStringLiteral("cache/decoded-pictures")); }

    // A run: decodes every picture through a cache on File(), saves and waits for the save.
    PictureCache::Usage Run(const QList<QByteArray>& pictures, bool* saved = nullptr,
                            quint64 edition = kEdition) {
        PictureCache cache(File(), edition);
        for (const QByteArray& bytes : pictures)
            EXPECT_TRUE(SamePixels(cache.Decode(bytes), DecodePicture(bytes)));
        cache.Save();
        const bool written = cache.WaitForSave();
        if (saved)
            *saved = written;
        return cache.Used();
    }

    QByteArray FileBytes() const {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder_;
    Encoded encoded_;
};

// A first run decodes and writes; the next finds every picture, with the very pixels, and
// writes nothing; bytes it has not seen are decoded and added, the others kept.
TEST_F(PictureCacheTest, ASecondRunDecodesOnlyWhatItHasNotSeen) {
    bool saved = false;
    PictureCache::Usage used = Run(encoded_.All(), &saved);
    EXPECT_EQ(used.decoded, 3);
    EXPECT_EQ(used.found, 0);
    EXPECT_TRUE(saved);
    const QByteArray written = FileBytes();

    used = Run(encoded_.All(), &saved);
    EXPECT_EQ(used.found, 3);
    EXPECT_EQ(used.decoded, 0);
    EXPECT_FALSE(saved);
    EXPECT_EQ(FileBytes(), written);

    // One byte of the JPEG changed (a comment): a picture of its own, decoded anew.
    QByteArray changed = encoded_.jpeg;
    changed.insert(2, QByteArray("\xFF\xFE\x00\x03x", 5));
    used = Run({changed, encoded_.png}, &saved);
    EXPECT_EQ(used.decoded, 1);
    EXPECT_EQ(used.found, 1);
    EXPECT_TRUE(saved);
    // The pictures the last run did not use are still there for the next.
    used = Run(encoded_.All());
    EXPECT_EQ(used.found, 3);
}

TEST_F(PictureCacheTest, AnotherEditionOfTheProgramReadsNothingOfIt) {
    Run(encoded_.All());
    const PictureCache::Usage used = Run(encoded_.All(), nullptr, kEdition + 1);
    EXPECT_EQ(used.found, 0);
    EXPECT_EQ(used.decoded, 3);
    // Edition 0 (a program that cannot be looked at) neither reads nor writes.
    QFile::remove(File());
    bool saved = true;
    Run(encoded_.All(), &saved, 0);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(QFile::exists(File()));
}

// What a cache holds outlives the cache, its mapping's file and the file's replacement.
TEST_F(PictureCacheTest, PicturesOutliveTheCacheAndItsFile) {
    Run(encoded_.All());
    QImage kept;
    {
        PictureCache cache(File(), kEdition);
        kept = cache.Decode(encoded_.jpeg);
        ASSERT_EQ(cache.Used().found, 1);
    }
    ASSERT_TRUE(QFile::remove(File()));
    Run({encoded_.png});
    EXPECT_TRUE(SamePixels(kept, DecodePicture(encoded_.jpeg)));
    // Drawn into, it takes a copy of its own rather than writing into the mapped file.
    QPainter(&kept).fillRect(0, 0, 4, 4, Qt::green);
    EXPECT_EQ(kept.pixelColor(0, 0), QColor(Qt::green));
}

// Pictures only the 32-bit formats a pixmap holds are kept; others are decoded every time.
TEST(PictureCacheFile, KeepsThirtyTwoBitPicturesAndLeavesTheRestOut) {
    CachedPictures pictures;
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_Grayscale8, QImage::Format_RGB888};
    for (int i = 0; i < 5; ++i)
        pictures.insert({quint64(i), 0, 0}, Pattern(5 + i, 3, i).convertToFormat(formats[i]));
    const auto read = ReadPictureCache(SharedCopy(WritePictureCache(pictures, kEdition)), kEdition);
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(SamePixels(read->value({quint64(i), 0, 0}), pictures.value({quint64(i), 0, 0})))
            << i;
}

// Any damage makes the whole file no cache: never a picture from outside it, never a wrong
// size, never a crash.
TEST(PictureCacheFile, ADamagedFileIsNoCache) {
    CachedPictures pictures;
    pictures.insert({1, 2, 3}, Pattern(6, 4, 1));
    pictures.insert({4, 5, 6}, Pattern(3, 2, 2));
    const QByteArray sound = WritePictureCache(pictures, kEdition);
    ASSERT_TRUE(ReadPictureCache(SharedCopy(sound), kEdition).has_value());

    constexpr qsizetype kHeader = 32, kEntry = 48;
    const auto patched = [&](qsizetype at, quint64 value, int width) {
        QByteArray bytes = sound;
        std::memcpy(bytes.data() + at, &value, std::size_t(width));
        return bytes;
    };
    const qsizetype first = kHeader;  // the first entry
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"half a header", sound.left(20)},
        {"cut short", sound.left(sound.size() - 1)},
        {"a byte more", sound + 'x'},
        {"foreign magic", patched(0, 0x4141414141414141ULL, 8)},
        {"another edition", patched(8, kEdition + 1, 8)},
        {"more entries than the file holds", patched(24, 1000, 4)},
        {"more entries than any cache", patched(24, 0xFFFFFFFF, 4)},
        {"width zero", patched(first + 24, 0, 4)},
        {"a huge width", patched(first + 24, 0x7FFFFFFF, 4)},
        {"height past the file", patched(first + 28, 16000, 4)},
        {"an 8-bit format", patched(first + 32, QImage::Format_Indexed8, 4)},
        {"no format at all", patched(first + 32, 0xFFFF, 4)},
        {"pixels past the end", patched(first + 40, quint64(sound.size()) - 16, 8)},
        {"pixels far past the end", patched(first + 40, ~quint64{0} - 15, 8)},
        {"pixels out of line", patched(first + 40, kHeader + 2 * kEntry + 4, 8)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ReadPictureCache(SharedCopy(c.bytes), kEdition).has_value()) << c.what;
}

// A damaged file costs the run nothing but the decoding: every picture comes out right, and
// the file is written sound again.
TEST_F(PictureCacheTest, ADamagedFileIsDecodedPastAndWrittenAnew) {
    Run(encoded_.All());
    QByteArray bytes = FileBytes();
    bytes.truncate(bytes.size() / 2);
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    PictureCache::Usage used = Run(encoded_.All());
    EXPECT_EQ(used.decoded, 3);
    used = Run(encoded_.All());
    EXPECT_EQ(used.found, 3);
}

// A cache that cannot be written (its folder is a file; the folder is read-only) changes
// nothing but the next run's work.
TEST_F(PictureCacheTest, ACacheThatCannotBeWrittenIsOnlyWork) {
    QFile blocker(folder_.filePath(QStringLiteral("cache")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    bool saved = true;
    EXPECT_EQ(Run(encoded_.All(), &saved).decoded, 3);
    EXPECT_FALSE(saved);
    ASSERT_TRUE(QFile::remove(blocker.fileName()));

    if (::geteuid() == 0)
        return;  // root writes into a read-only folder all the same
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("cache")));
    ::chmod(QFile::encodeName(folder_.filePath(QStringLiteral("cache"))).constData(), 0500);
    EXPECT_EQ(Run(encoded_.All(), &saved).decoded, 3);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(QFile::exists(File()));
}

// What stands where the file should be and is none (a FIFO nobody writes, a folder) is no
// cache: the run neither waits for it nor reads it, and does not write over it.
TEST_F(PictureCacheTest, NoFileInTheFilesPlaceIsNoCacheAndNoWait) {
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("cache")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(File()).constData(), 0600), 0);
    bool saved = true;
    EXPECT_EQ(Run(encoded_.All(), &saved).decoded, 3);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(QFileInfo(File()).isFile());
    ASSERT_TRUE(QFile::remove(File()));
    ASSERT_TRUE(QDir(folder_.path()).mkpath(QStringLiteral("cache/decoded-pictures")));
    EXPECT_EQ(Run(encoded_.All(), &saved).decoded, 3);
    EXPECT_FALSE(saved);
}

// Pictures kept under a file's fingerprint and a name: another name, or any other byte in the
// file, is another picture.
TEST(PictureFingerprint, ANamedPictureChangesWithTheFileAndTheName) {
    const PictureFingerprint file = FingerprintOf(QByteArrayView("bundle bytes"));
    const PictureFingerprint other = FingerprintOf(QByteArrayView("bundle bytez"));
    EXPECT_EQ(FingerprintOf(file, u"gif1"), FingerprintOf(file, u"gif1"));
    EXPECT_NE(FingerprintOf(file, u"gif1"), FingerprintOf(file, u"gif10"));
    EXPECT_NE(FingerprintOf(file, u"gif1"), FingerprintOf(other, u"gif1"));
    EXPECT_NE(file, other);
}

// The decode given to Picture runs only when the cache does not hold the key; a null picture
// (a missing resource) is never kept.
TEST_F(PictureCacheTest, APictureNotFoundIsNeverKept) {
    const PictureFingerprint key{7, 8, 9};
    int decodes = 0;
    const std::function<QImage()> missing = [&] {
        ++decodes;
        return QImage();
    };
    {
        PictureCache cache(File(), kEdition);
        EXPECT_TRUE(cache.Picture(key, missing).isNull());
        cache.Save();
        cache.WaitForSave();
    }
    PictureCache cache(File(), kEdition);
    EXPECT_TRUE(cache.Picture(key, missing).isNull());
    EXPECT_EQ(decodes, 2);
}

}  // namespace
