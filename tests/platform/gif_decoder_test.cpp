// The program's own GIF reader against what Qt's reader makes of the same bytes: the pictures
// the build draws, and GIFs written here with giflib in the shapes a reader gets wrong most
// easily (interlaced rows, a local colour table, a frame at an offset with a transparent
// colour, a full code table, runs that refer to the code being defined). Damaged bytes give no
// picture at all, never a part of one.
#include "platform/gif_decoder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <random>
#include <vector>

#include "platform/jpeg_decoder.h"

namespace {

struct GifShape {
    const char* name;
    int screenWidth, screenHeight;
    int left, top, width, height;
    int colourBits = 8;  // 2^colourBits colours
    bool localColours = false;
    bool interlaced = false;
    int transparent = -1;
    // The frame's indices, row after row; empty: made from the seed.
    std::vector<std::uint8_t> indices{};
    unsigned seed = 1;
    int runLength = 1;  // how many equal indices follow each other
};

int AppendTo(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), count);
    return count;
}

std::vector<std::uint8_t> Indices(const GifShape& shape) {
    if (!shape.indices.empty())
        return shape.indices;
    std::mt19937 random(shape.seed);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(shape.width * shape.height));
    const int colours = 1 << shape.colourBits;
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = i % static_cast<std::size_t>(shape.runLength) == 0
                         ? static_cast<std::uint8_t>(random() % static_cast<unsigned>(colours))
                         : indices[i - 1];
    return indices;
}

QByteArray WriteGif(const GifShape& shape) {
    const int colours = 1 << shape.colourBits;
    std::vector<GifColorType> table(static_cast<std::size_t>(colours));
    for (int i = 0; i < colours; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(i * 37),
                                              static_cast<GifByteType>(255 - i),
                                              static_cast<GifByteType>(i * 91)};
    ColorMapObject* map = GifMakeMapObject(colours, table.data());
    QByteArray bytes;
    int code = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendTo, &code);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    EXPECT_EQ(EGifPutScreenDesc(gif, shape.screenWidth, shape.screenHeight, shape.colourBits, 0,
                                shape.localColours ? nullptr : map),
              GIF_OK);
    if (shape.transparent >= 0) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, shape.transparent};
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
    }
    EXPECT_EQ(EGifPutImageDesc(gif, shape.left, shape.top, shape.width, shape.height,
                               shape.interlaced, shape.localColours ? map : nullptr),
              GIF_OK);
    std::vector<std::uint8_t> indices = Indices(shape);
    // giflib takes an interlaced frame's rows in the order they are stored.
    std::vector<int> rows;
    if (shape.interlaced) {
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < shape.height; y += step)
                rows.push_back(y);
    } else {
        for (int y = 0; y < shape.height; ++y)
            rows.push_back(y);
    }
    for (int y : rows)
        EXPECT_EQ(EGifPutLine(gif, indices.data() + y * shape.width, shape.width), GIF_OK);
    EXPECT_EQ(EGifCloseFile(gif, &code), GIF_OK);
    GifFreeMapObject(map);
    return bytes;
}

// Both readers' pictures in one format, for comparing pixel by pixel.
QImage Comparable(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage ReadByQt(const QByteArray& bytes) {
    return QImage::fromData(bytes, "GIF");
}

TEST(GifDecoder, ReadsEveryShapeAsQtDoes) {
    const GifShape shapes[] = {
        {"noise of 256 colours: a full code table, cleared again", 97, 61, 0, 0, 97, 61},
        {"interlaced, rows not a multiple of 8", 23, 13, 0, 0, 23, 13, 4, false, true},
        {"a local colour table of 4 colours", 30, 20, 0, 0, 30, 20, 2, true},
        {"a frame at an offset, with a transparent colour", 40, 30, 7, 5, 20, 11, 3, false, false,
         2},
        {"two colours: the smallest code size", 16, 9, 0, 0, 16, 9, 1},
        {"long runs: codes used as they are defined",
         120,
         40,
         0,
         0,
         120,
         40,
         4,
         false,
         false,
         -1,
         {},
         7,
         60},
        {"a frame at an offset, on the screen's background colour", 30, 20, 4, 3, 11, 9, 3},
        {"one pixel", 1, 1, 0, 0, 1, 1, 1, false, false, -1, {1}},
    };
    for (const GifShape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const QByteArray bytes = WriteGif(shape);
        QString error;
        const QImage ours = DecodeGif(bytes, &error);
        ASSERT_FALSE(ours.isNull()) << error.toStdString();
        const QImage qt = ReadByQt(bytes);
        ASSERT_FALSE(qt.isNull());
        EXPECT_EQ(ours.size(), QSize(shape.screenWidth, shape.screenHeight));
        EXPECT_EQ(Comparable(ours), Comparable(qt));
        EXPECT_EQ(ours.hasAlphaChannel(), shape.transparent >= 0);
    }
}

// Qt's reader moves such a frame about and shifts its rows; this one cuts it at the edge.
TEST(GifDecoder, CutsAFrameReachingPastTheScreen) {
    GifShape shape{"past the edge", 10, 10, 6, 6, 8, 8, 3};
    for (int i = 0; i < 64; ++i)
        shape.indices.push_back(static_cast<std::uint8_t>(i % 8));
    const QImage ours = DecodeGif(WriteGif(shape));
    ASSERT_EQ(ours.size(), QSize(10, 10));
    const QImage whole =
        DecodeGif(WriteGif({"whole", 8, 8, 0, 0, 8, 8, 3, false, false, -1, shape.indices}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(ours.pixel(6 + x, 6 + y), whole.pixel(x, y)) << x << ", " << y;
    EXPECT_EQ(ours.pixel(0, 0), whole.pixel(0, 0));  // the background: colour 0
}

// Every GIF of the window's own art and of the skins, as the program opens them.
TEST(GifDecoder, ReadsTheBuiltPicturesAsQtDoes) {
    int pictures = 0;
    for (const char* folder : {KEYLEARN_WINDOW_ART_DIR, KEYLEARN_SKIN_ART_DIR}) {
        QDirIterator files(QString::fromUtf8(folder), {QStringLiteral("*.gif")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const QImage ours = DecodePicture(bytes);
            ASSERT_FALSE(ours.isNull()) << path.toStdString();
            EXPECT_EQ(Comparable(ours), Comparable(ReadByQt(bytes))) << path.toStdString();
            ++pictures;
        }
    }
    // The window's own GIFs, 672 key pictures and the animation.
    EXPECT_GT(pictures, 672);
}

TEST(GifDecoder, DamagedBytesGiveNoPictureOrTheWholeOne) {
    const QByteArray bytes = WriteGif({"noise", 33, 17, 0, 0, 33, 17, 5});
    const QImage whole = DecodeGif(bytes);
    ASSERT_FALSE(whole.isNull());
    // Cut anywhere: nothing, or (once every pixel is there) the whole picture.
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const QImage cut = DecodeGif(bytes.first(length));
        EXPECT_TRUE(cut.isNull() || cut == whole) << "cut at " << length;
    }
    // Any byte changed: never a crash or a read past the bytes (the sanitizer builds see to
    // that); a picture, when there is one, of the screen's size.
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        QByteArray changed = bytes;
        const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()));
        changed[at] = static_cast<char>(random());
        const QImage picture = DecodeGif(changed);
        if (!picture.isNull() && at >= 10) {
            EXPECT_EQ(picture.size(), whole.size());
        }
    }
    QString error;
    const QByteArray huge = QByteArray("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13);
    EXPECT_TRUE(DecodeGif(huge, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(DecodeGif(QByteArray("GIF89a")).isNull());
    EXPECT_TRUE(DecodeGif(QByteArray("\x89PNG\r\n\x1a\n")).isNull());
}

}  // namespace
