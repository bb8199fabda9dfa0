#include "platform/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cstdlib>

namespace {

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    EXPECT_TRUE(writer.write(image)) << qPrintable(writer.errorString());
    return bytes;
}

// Left half red, right half blue: colours a decoder that mixes up channels or rows would get
// wrong.
QImage TwoColourPicture() {
    QImage image(40, 30, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 30, QColor(220, 30, 30));
    painter.fillRect(20, 0, 20, 30, QColor(30, 30, 220));
    return image;
}

bool Near(QColor actual, QColor expected) {
    return std::abs(actual.red() - expected.red()) < 24 &&
           std::abs(actual.green() - expected.green()) < 24 &&
           std::abs(actual.blue() - expected.blue()) < 24;
}

TEST(JpegDecoder, DecodesColourAndGreyPictures) {
    const QImage colour = DecodeJpeg(Encode(TwoColourPicture(), "jpeg"));
    ASSERT_FALSE(colour.isNull());
    EXPECT_EQ(colour.size(), QSize(40, 30));
    EXPECT_TRUE(Near(colour.pixelColor(5, 15), QColor(220, 30, 30)));
    EXPECT_TRUE(Near(colour.pixelColor(35, 15), QColor(30, 30, 220)));

    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    const QImage fromGrey = DecodeJpeg(Encode(grey, "jpeg"));
    ASSERT_FALSE(fromGrey.isNull());
    EXPECT_TRUE(Near(fromGrey.pixelColor(3, 3), QColor(128, 128, 128)));
}

// Stray bytes before a marker draw a libjpeg warning but cost no pixel: the picture shows.
TEST(JpegDecoder, StrayBytesBeforeAMarkerKeepThePicture) {
    QByteArray padded = Encode(TwoColourPicture(), "jpeg");
    const qsizetype frame = padded.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    padded.insert(frame, QByteArray("\x00\x01\x02", 3));
    QString error;
    const QImage image = DecodeJpeg(padded, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_TRUE(Near(image.pixelColor(35, 15), QColor(30, 30, 220)));
}

TEST(JpegDecoder, DamagedPicturesFailCleanly) {
    const QByteArray good = Encode(TwoColourPicture(), "jpeg");
    ASSERT_GT(good.size(), 200);

    // Start-of-frame: marker, length (2), precision (1), height (2), width (2).
    QByteArray huge = good;
    const qsizetype frame = huge.indexOf("\xFF\xC0");
    ASSERT_GE(frame, 0);
    for (int i = 5; i <= 8; ++i)
        huge[frame + i] = '\xFF';

    QByteArray scrambled = good;
    for (qsizetype i = scrambled.size() / 2; i < scrambled.size() - 2; ++i)
        scrambled[i] = static_cast<char>(i * 37);

    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"start marker only", good.left(2)},
        {"cut in the headers", good.left(100)},
        {"cut in the picture data", good.left(good.size() / 2)},
        {"end marker missing", good.left(good.size() - 2)},
        {"picture data scrambled", scrambled},
        {"65535 x 65535 in the header", huge},
        {"not a JPEG", QByteArray("GIF89a not a jpeg at all")},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(DecodeJpeg(c.bytes, &error).isNull()) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(JpegDecoder, DecodePictureTakesJpegAndGif) {
    const QImage jpeg = DecodePicture(Encode(TwoColourPicture(), "jpeg"));
    EXPECT_EQ(jpeg.size(), QSize(40, 30));

    // One red pixel: a two-colour table (red, black) and the LZW data of index 0.
    static const char kRedPixelGif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    const QImage gif = DecodePicture(QByteArray(kRedPixelGif, sizeof kRedPixelGif - 1));
    ASSERT_EQ(gif.size(), QSize(1, 1));
    EXPECT_EQ(gif.pixelColor(0, 0), QColor(255, 0, 0));

    QString error;
    EXPECT_TRUE(DecodePicture(QByteArray("no picture"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
