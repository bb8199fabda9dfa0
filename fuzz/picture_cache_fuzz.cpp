// libFuzzer target: any bytes read as a picture cache file are refused or give pictures that lie
// wholly inside the file; a cache written from pictures reads back with the very pixels.
//
// Raw bytes would almost never get past the header, so unless the first byte is odd the input
// describes pictures, a cache file is written from them, and the rest of the input patches bytes
// of that file (two bytes of offset, one of value) before it is read: the entries' fields are
// fuzzed where they lie. An odd first byte reads the rest as the file itself.
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/picture_cache.h"

namespace {

constexpr quint64 kEdition = 7;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The bytes in a buffer of exactly their size, so that the sanitizer sees any read past them.
SharedBytes Exactly(const char* data, std::size_t size) {
    char* copy = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    if (size != 0)
        std::memcpy(copy, data, size);
    return SharedBytes(new QByteArrayView(copy, qsizetype(size)), [copy](const QByteArrayView* v) {
        std::free(copy);
        delete v;
    });
}

// Reads every pixel of every picture: a picture reaching past the file shows here.
quint32 Touch(const CachedPictures& pictures) {
    quint32 sum = 0;
    for (const QImage& picture : pictures) {
        Check(picture.width() > 0 && picture.height() > 0);
        for (int y = 0; y < picture.height(); ++y) {
            const uchar* row = picture.constScanLine(y);
            for (int x = 0; x < picture.width() * 4; ++x)
                sum += row[x];
        }
    }
    return sum;
}

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
    bool Done() const { return at >= size; }
};

CachedPictures Pictures(Input& input) {
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_ARGB32_Premultiplied};
    CachedPictures pictures;
    const int count = input.Next() % 5;
    for (int i = 0; i < count; ++i) {
        QImage picture(1 + input.Next() % 24, 1 + input.Next() % 24, formats[input.Next() % 3]);
        for (int y = 0; y < picture.height(); ++y)
            std::memset(picture.scanLine(y), input.Next(), std::size_t(picture.width()) * 4);
        pictures.insert({quint64(i), input.Next(), 0}, picture);
    }
    return pictures;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    if ((data[0] & 1) != 0) {
        const auto read =
            ReadPictureCache(Exactly(reinterpret_cast<const char*>(data) + 1, size - 1), kEdition);
        if (read)
            Touch(*read);
        return 0;
    }
    Input input{data, size, 1};
    const CachedPictures pictures = Pictures(input);
    QByteArray file = WritePictureCache(pictures, kEdition);
    const auto sound =
        ReadPictureCache(Exactly(file.constData(), std::size_t(file.size())), kEdition);
    Check(sound && sound->size() == pictures.size());
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
        const QImage back = sound->value(it.key());
        Check(back.size() == it.value().size() && back.format() == it.value().format());
        for (int y = 0; y < back.height(); ++y)
            Check(std::memcmp(back.constScanLine(y), it.value().constScanLine(y),
                              std::size_t(back.width()) * 4) == 0);
    }
    while (!input.Done() && !file.isEmpty()) {
        const std::size_t offset =
            (std::size_t(input.Next()) << 8 | input.Next()) % std::size_t(file.size());
        file[qsizetype(offset)] = char(input.Next());
    }
    const auto patched =
        ReadPictureCache(Exactly(file.constData(), std::size_t(file.size())), kEdition);
    if (patched)
        Touch(*patched);
    return 0;
}
