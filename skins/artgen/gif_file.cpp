#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "skins/artgen/picture_files.h"

namespace {

struct ColourCount {
    QRgb rgb;
    quint32 count;
};

int Channel(QRgb rgb, int channel) {
    return channel == 0 ? qRed(rgb) : channel == 1 ? qGreen(rgb) : qBlue(rgb);
}

// Heckbert's median cut over the picture's colour histogram, at full 8-bit precision so
// that large flat areas keep their exact colour. Returns at most maxColours colours.
std::vector<QRgb> MedianCut(std::vector<ColourCount> colours, int maxColours) {
    if (colours.empty())
        return {};
    struct Box {
        std::size_t begin, end;
    };
    std::vector<Box> boxes{{0, colours.size()}};
    const auto widest = [&](const Box& box, int* channelOut) {
        int best = -1, bestChannel = 0;
        for (int channel = 0; channel < 3; ++channel) {
            int low = 255, high = 0;
            for (std::size_t i = box.begin; i < box.end; ++i) {
                low = std::min(low, Channel(colours[i].rgb, channel));
                high = std::max(high, Channel(colours[i].rgb, channel));
            }
            if (high - low > best) {
                best = high - low;
                bestChannel = channel;
            }
        }
        *channelOut = bestChannel;
        return best;
    };
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box whose colours spread widest, weighted by how many pixels it covers.
        double bestScore = 0;
        std::size_t chosen = boxes.size();
        int chosenChannel = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            int channel = 0;
            const int range = widest(boxes[b], &channel);
            double pixels = 0;
            for (std::size_t i = boxes[b].begin; i < boxes[b].end; ++i)
                pixels += colours[i].count;
            const double score = range * std::sqrt(pixels);
            if (score > bestScore) {
                bestScore = score;
                chosen = b;
                chosenChannel = channel;
            }
        }
        if (chosen == boxes.size())
            break;
        Box& box = boxes[chosen];
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [&](const ColourCount& a, const ColourCount& b) {
                      return Channel(a.rgb, chosenChannel) < Channel(b.rgb, chosenChannel);
                  });
        double total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            total += colours[i].count;
        double running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (running >= total / 2)
                break;
        }
        const Box upper{split, box.end};
        box.end = split;
        boxes.push_back(upper);
    }
    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            r += qRed(colours[i].rgb) * double(colours[i].count);
            g += qGreen(colours[i].rgb) * double(colours[i].count);
            b += qBlue(colours[i].rgb) * double(colours[i].count);
            n += colours[i].count;
        }
        palette.push_back(
            qRgb(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n))));
    }
    return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb rgb) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = qRed(rgb) - qRed(palette[i]);
        const long dg = qGreen(rgb) - qGreen(palette[i]);
        const long db = qBlue(rgb) - qBlue(palette[i]);
        // Green weighs most for the eye, blue least.
        const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

struct Indexed {
    std::vector<GifByteType> pixels;
    std::vector<QRgb> palette;
    int transparentIndex = -1;
};

Indexed ToIndexed(const QImage& argb) {
    std::unordered_map<QRgb, quint32> histogram;
    bool anyTransparent = false;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                anyTransparent = true;
            else
                ++histogram[line[x] | 0xFF000000u];
        }
    }
    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (const auto& [rgb, count] : histogram)
        colours.push_back({rgb, count});
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.rgb < b.rgb; });

    Indexed indexed;
    const int room = anyTransparent ? 255 : 256;
    indexed.palette = MedianCut(colours, room);
    std::unordered_map<QRgb, GifByteType> mapping;
    for (const ColourCount& colour : colours)
        mapping[colour.rgb] = static_cast<GifByteType>(Nearest(indexed.palette, colour.rgb));
    if (anyTransparent) {
        indexed.transparentIndex = static_cast<int>(indexed.palette.size());
        indexed.palette.push_back(qRgb(0, 0, 0));
    }
    indexed.pixels.reserve(std::size_t(argb.width()) * std::size_t(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            indexed.pixels.push_back(qAlpha(line[x]) == 0
                                         ? static_cast<GifByteType>(indexed.transparentIndex)
                                         : mapping[line[x] | 0xFF000000u]);
    }
    return indexed;
}

}  // namespace

namespace {

// Writes frames (all of one size) with one colour table chosen over all of them. An animation
// (more than one frame) loops for ever, each frame shown for delay hundredths of a second.
bool WriteFrames(const std::vector<QImage>& frames, int delay, const QString& path,
                 QString* error) {
    const int width = frames.front().width();
    const int height = frames.front().height();
    // The frames stacked into one picture, so that one palette serves them all.
    QImage stacked(width, height * static_cast<int>(frames.size()), QImage::Format_ARGB32);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const QImage frame = frames[i].convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y)
            std::copy_n(frame.constScanLine(y), 4 * width,
                        stacked.scanLine(static_cast<int>(i) * height + y));
    }
    const Indexed indexed = ToIndexed(stacked);
    const bool animated = frames.size() > 1;

    // giflib takes colour tables of a power of two entries only.
    int tableSize = 2;
    while (tableSize < static_cast<int>(indexed.palette.size()))
        tableSize *= 2;
    std::vector<GifColorType> table(static_cast<std::size_t>(tableSize), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < indexed.palette.size(); ++i)
        table[i] = GifColorType{static_cast<GifByteType>(qRed(indexed.palette[i])),
                                static_cast<GifByteType>(qGreen(indexed.palette[i])),
                                static_cast<GifByteType>(qBlue(indexed.palette[i]))};
    ColorMapObject* map = GifMakeMapObject(tableSize, table.data());
    if (!map) {
        *error = QStringLiteral("no colour table");
        return false;
    }
    int code = 0;
    GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &code);
    if (!gif) {
        GifFreeMapObject(map);
        *error = QStringLiteral("cannot create %1: %2").arg(path, GifErrorString(code));
        return false;
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, map->BitsPerPixel, 0, map) == GIF_OK;
    if (ok && animated) {
        // The NETSCAPE2.0 block: loop for ever.
        static const GifByteType kLoop[] = {1, 0, 0};
        ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
             EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
             EGifPutExtensionTrailer(gif) == GIF_OK;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (std::size_t i = 0; ok && i < frames.size(); ++i) {
        if (animated || indexed.transparentIndex >= 0) {
            GraphicsControlBlock control{animated ? DISPOSE_BACKGROUND : DISPOSAL_UNSPECIFIED,
                                         false, animated ? delay : 0, indexed.transparentIndex};
            GifByteType extension[4];
            const size_t length = EGifGCBToExtension(&control, extension);
            ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                                  extension) == GIF_OK;
        }
        ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < height; ++y) {
            const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(i) * height + y;
            std::copy_n(indexed.pixels.begin() + row * width, width, line.begin());
            ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
        }
    }
    const int writeError = gif->Error;
    const bool closed = EGifCloseFile(gif, &code) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok || !closed) {
        *error =
            QStringLiteral("cannot write %1: %2").arg(path, GifErrorString(ok ? code : writeError));
        return false;
    }
    return true;
}

}  // namespace

bool WriteGif(const QImage& image, const QString& path, QString* error) {
    return WriteFrames({image}, 0, path, error);
}

bool WriteAnimatedGif(const std::vector<QImage>& frames, int delay, const QString& path,
                      QString* error) {
    if (frames.empty()) {
        *error = QStringLiteral("no frames");
        return false;
    }
    for (const QImage& frame : frames)
        if (frame.size() != frames.front().size()) {
            *error = QStringLiteral("frames of different sizes");
            return false;
        }
    return WriteFrames(frames, delay, path, error);
}
