#include "platform/gif_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// As for JPEG: a corrupt header must not make the program ask for gigabytes.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;
constexpr std::uint16_t kNoPrefix = 0xFFFF;

// Reads the bytes of a GIF in order; every read past the end fails and stays failed.
class Bytes {
  public:
    explicit Bytes(QByteArrayView data)
        : at_(reinterpret_cast<const std::uint8_t*>(data.data())), end_(at_ + data.size()) {}

    bool Failed() const { return failed_; }
    std::uint8_t Byte() {
        if (at_ >= end_) {
            failed_ = true;
            return 0;
        }
        return *at_++;
    }
    int Word() {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    void Skip(qsizetype count) {
        if (end_ - at_ < count) {
            failed_ = true;
            at_ = end_;
            return;
        }
        at_ += count;
    }
    const std::uint8_t* Take(qsizetype count) {
        const std::uint8_t* start = at_;
        Skip(count);
        return failed_ ? nullptr : start;
    }
    // Skips data sub-blocks up to and with their terminator.
    void SkipSubBlocks() {
        for (int size = Byte(); size != 0 && !failed_; size = Byte())
            Skip(size);
    }

  private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
    bool failed_ = false;
};

using Palette = std::array<QRgb, 256>;

// count colours of three bytes each; the entries after them stay black.
bool ReadColourTable(Bytes& bytes, int count, Palette& palette) {
    palette.fill(qRgb(0, 0, 0));
    const std::uint8_t* table = bytes.Take(3 * count);
    if (table == nullptr)
        return false;
    for (int i = 0; i < count; ++i)
        palette[static_cast<std::size_t>(i)] =
            qRgb(table[3 * i], table[3 * i + 1], table[3 * i + 2]);
    return true;
}

// The LZW decoder. Each code stands for a string that is its prefix code's string followed
// by one byte; a string is written from its last byte backwards, so every output byte costs
// one step along the chain and nothing is copied twice.
class LzwDecoder {
  public:
    // Decodes the codes in data (sub-block payloads joined) into out, at most out.size()
    // indices. False for a corrupt stream, or one that ends before out is full.
    bool Decode(int minimumCodeSize, const std::vector<std::uint8_t>& data,
                std::vector<std::uint8_t>& out) {
        if (minimumCodeSize < 1 || minimumCodeSize > kMaxCodeBits - 1)
            return false;
        const int clearCode = 1 << minimumCodeSize;
        const int endCode = clearCode + 1;
        for (int code = 0; code < clearCode; ++code) {
            prefix_[static_cast<std::size_t>(code)] = kNoPrefix;
            suffix_[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(code);
            first_[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(code);
            length_[static_cast<std::size_t>(code)] = 1;
        }
        int codeSize = minimumCodeSize + 1;
        int nextCode = clearCode + 2;
        int previous = -1;
        std::size_t written = 0;
        const std::size_t wanted = out.size();
        std::uint32_t bits = 0;
        int bitCount = 0;
        std::size_t in = 0;
        while (written < wanted) {
            while (bitCount < codeSize) {
                if (in == data.size())
                    return false;
                bits |= static_cast<std::uint32_t>(data[in++]) << bitCount;
                bitCount += 8;
            }
            const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
            bits >>= codeSize;
            bitCount -= codeSize;
            if (code == clearCode) {
                codeSize = minimumCodeSize + 1;
                nextCode = clearCode + 2;
                previous = -1;
                continue;
            }
            if (code == endCode)
                return false;
            if (previous < 0) {
                if (code >= clearCode)
                    return false;
                out[written++] = static_cast<std::uint8_t>(code);
                previous = code;
                continue;
            }
            if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes))
                return false;
            if (nextCode < kMaxCodes) {
                // The new string: the previous one and the first byte of this one, which for
                // the code not yet in the table (KwKwK) is the previous string's first byte.
                const auto entry = static_cast<std::size_t>(nextCode);
                const auto before = static_cast<std::size_t>(previous);
                prefix_[entry] = static_cast<std::uint16_t>(previous);
                suffix_[entry] =
                    code == nextCode ? first_[before] : first_[static_cast<std::size_t>(code)];
                first_[entry] = first_[before];
                length_[entry] = static_cast<std::uint16_t>(length_[before] + 1);
                ++nextCode;
                if (nextCode == (1 << codeSize) && codeSize < kMaxCodeBits)
                    ++codeSize;
            }
            written = Write(code, out, written);
            previous = code;
        }
        return true;
    }

  private:
    // Writes code's string at out[at...], cut at the end of out; gives the new end.
    std::size_t Write(int code, std::vector<std::uint8_t>& out, std::size_t at) const {
        std::size_t length = length_[static_cast<std::size_t>(code)];
        auto index = static_cast<std::size_t>(code);
        // Bytes past the end of out are dropped from the string's end.
        for (; at + length > out.size(); --length)
            index = prefix_[index];
        std::uint8_t* last = out.data() + at + length - 1;
        for (std::size_t i = 0; i < length; ++i) {
            *last-- = suffix_[index];
            index = prefix_[index];
        }
        return at + length;
    }

    std::array<std::uint16_t, kMaxCodes> prefix_;
    std::array<std::uint8_t, kMaxCodes> suffix_;
    std::array<std::uint8_t, kMaxCodes> first_;
    std::array<std::uint16_t, kMaxCodes> length_;
};

QImage Fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return QImage();
}

// The row of the frame that the n-th decoded row of an interlaced frame is: every 8th row from
// 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int InterlacedRow(int n, int height) {
    const int pass1 = (height + 7) / 8;
    const int pass2 = (height + 3) / 8;
    const int pass3 = (height + 1) / 4;
    if (n < pass1)
        return 8 * n;
    n -= pass1;
    if (n < pass2)
        return 8 * n + 4;
    n -= pass2;
    if (n < pass3)
        return 4 * n + 2;
    return 2 * (n - pass3) + 1;
}

}  // namespace

bool LooksLikeGif(QByteArrayView data) {
    return data.size() >= 6 &&
           (data.first(6) == QByteArrayView("GIF87a") || data.first(6) == QByteArrayView("GIF89a"));
}

QImage DecodeGif(QByteArrayView data, QString* error) {
    if (!LooksLikeGif(data))
        return Fail(error, QStringLiteral("not a GIF picture"));
    Bytes bytes(data);
    bytes.Skip(6);
    const long long width = bytes.Word();
    const long long height = bytes.Word();
    const int screenFlags = bytes.Byte();
    const int backgroundIndex = bytes.Byte();
    bytes.Skip(1);  // aspect ratio
    if (bytes.Failed())
        return Fail(error, QStringLiteral("a GIF cut off in its header"));
    if (width <= 0 || height <= 0 || width * height > kMaxPixels)
        return Fail(error, QStringLiteral("a GIF picture of %1x%2").arg(width).arg(height));
    Palette globalColours{};
    const bool withGlobalColours = (screenFlags & 0x80) != 0;
    if (withGlobalColours && !ReadColourTable(bytes, 2 << (screenFlags & 7), globalColours))
        return Fail(error, QStringLiteral("a GIF cut off in its colour table"));

    int transparent = -1;
    for (;;) {
        const int block = bytes.Byte();
        if (bytes.Failed() || block == 0x3B)
            return Fail(error, QStringLiteral("a GIF without a picture"));
        if (block == 0x21) {
            const int label = bytes.Byte();
            if (label == 0xF9) {
                // Graphic control: the frame's transparent colour, if it has one.
                const int size = bytes.Byte();
                const std::uint8_t* control = bytes.Take(size);
                if (control != nullptr && size >= 4 && (control[0] & 1) != 0)
                    transparent = control[3];
            }
            bytes.SkipSubBlocks();
            continue;
        }
        if (block != 0x2C)
            return Fail(error, QStringLiteral("a GIF with an unknown block"));
        break;
    }

    const int left = bytes.Word();
    const int top = bytes.Word();
    const int frameWidth = bytes.Word();
    const int frameHeight = bytes.Word();
    const int frameFlags = bytes.Byte();
    Palette localColours{};
    const bool withLocalColours = (frameFlags & 0x80) != 0;
    if (withLocalColours && !ReadColourTable(bytes, 2 << (frameFlags & 7), localColours))
        return Fail(error, QStringLiteral("a GIF cut off in its colour table"));
    if (!withLocalColours && !withGlobalColours)
        return Fail(error, QStringLiteral("a GIF without colours"));
    if (static_cast<long long>(frameWidth) * frameHeight > kMaxPixels)
        return Fail(error, QStringLiteral("a GIF frame of %1x%2").arg(frameWidth).arg(frameHeight));
    const int minimumCodeSize = bytes.Byte();
    std::vector<std::uint8_t> codes;
    for (int size = bytes.Byte(); size != 0 && !bytes.Failed(); size = bytes.Byte()) {
        const std::uint8_t* chunk = bytes.Take(size);
        if (chunk != nullptr)
            codes.insert(codes.end(), chunk, chunk + size);
    }
    if (bytes.Failed())
        return Fail(error, QStringLiteral("a GIF cut off in its picture"));

    std::vector<std::uint8_t> indices(static_cast<std::size_t>(frameWidth) *
                                      static_cast<std::size_t>(frameHeight));
    thread_local LzwDecoder decoder;
    if (!indices.empty() && !decoder.Decode(minimumCodeSize, codes, indices))
        return Fail(error, QStringLiteral("a GIF with corrupt or missing picture data"));

    Palette colours = withLocalColours ? localColours : globalColours;
    const bool withTransparency = transparent >= 0;
    if (withTransparency)
        colours[static_cast<std::size_t>(transparent)] = 0;
    QImage image(static_cast<int>(width), static_cast<int>(height),
                 withTransparency ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return Fail(error, QStringLiteral("no memory for the picture"));
    const bool coversScreen = left == 0 && top == 0 && frameWidth >= width && frameHeight >= height;
    // Around a frame smaller than the screen: the screen's
    // background colour, or nothing when the frame has a
    // transparent colour.
    if (!coversScreen)
        image.fill(withTransparency    ? 0u
                   : withGlobalColours ? globalColours[static_cast<std::size_t>(backgroundIndex)]
                                       : qRgb(0, 0, 0));
    // The frame where it lies on the screen, cut to it.
    const int firstColumn = std::min(left, image.width());
    const int columns = std::clamp(image.width() - left, 0, frameWidth);
    const bool interlaced = (frameFlags & 0x40) != 0;
    for (int n = 0; n < frameHeight; ++n) {
        const int y = top + (interlaced ? InterlacedRow(n, frameHeight) : n);
        if (y >= image.height())
            continue;
        const std::uint8_t* row = indices.data() + static_cast<std::ptrdiff_t>(n) * frameWidth;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y)) + firstColumn;
        for (int x = 0; x < columns; ++x)
            line[x] = colours[row[x]];
    }
    return image;
}
