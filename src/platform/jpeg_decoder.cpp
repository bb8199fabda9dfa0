#include "platform/jpeg_decoder.h"

#include "platform/gif_decoder.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared before it

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace {

// Pictures larger than this are refused before any pixel memory is allocated: a corrupt
// header must not make the program ask for gigabytes.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

// libjpeg's default error handling prints and calls exit(); ours jumps back into Decode and
// keeps the first message. Only plain data lives here, so the jump skips no destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (manager->message[0] == '\0')
        (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Level -1 is a warning; higher levels are trace messages, which are dropped. A warning that
// the picture may be damaged (premature end of data, corrupt entropy data) fails the decode
// afterwards. Stray bytes before a marker are skipped by libjpeg without losing a pixel: many
// encoders leave them, and such a picture shows whole.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0 || cinfo->err->msg_code == JWRN_EXTRANEOUS_DATA)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (manager->message[0] == '\0')
        (*cinfo->err->format_message)(cinfo, manager->message);
    ++cinfo->err->num_warnings;
}

void OnOutputMessage(j_common_ptr) {}

// Adobe CMYK JPEGs store inverted ink values; libjpeg hands them over as they are.
void CmykLineToRgb(const JSAMPLE* cmyk, QRgb* rgb, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
        const unsigned k = cmyk[3];
        rgb[x] = qRgb(static_cast<int>(cmyk[0] * k / 255), static_cast<int>(cmyk[1] * k / 255),
                      static_cast<int>(cmyk[2] * k / 255));
    }
}

// Holds the setjmp. Between it and any longjmp only libjpeg's C frames and this function's
// trivially destructible locals live; the image is the caller's object.
bool Decode(const uchar* bytes, unsigned long size, QImage& image, ErrorManager& errors) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.emit_message = OnMessage;
    errors.pub.output_message = OnOutputMessage;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, size);
    jpeg_read_header(&cinfo, TRUE);
    if (static_cast<long long>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        std::snprintf(errors.message, sizeof errors.message, "picture of %ux%u is too large",
                      static_cast<unsigned>(cinfo.image_width),
                      static_cast<unsigned>(cinfo.image_height));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    // Straight into the layout of QImage::Format_RGB32, which is what a pixmap holds: no second
    // pass over the pixels and no second buffer of the picture's size.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    constexpr J_COLOR_SPACE kRgb32 = JCS_EXT_BGRA;
#else
    constexpr J_COLOR_SPACE kRgb32 = JCS_EXT_ARGB;
#endif
    cinfo.out_color_space = cmyk ? JCS_CMYK : kRgb32;
    jpeg_start_decompress(&cinfo);

    const JDIMENSION width = cinfo.output_width;
    const JDIMENSION height = cinfo.output_height;
    image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) {
        std::snprintf(errors.message, sizeof errors.message, "no memory for the picture");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPARRAY cmykLine = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                            JPOOL_IMAGE, width * 4, 1)
                               : nullptr;
    while (cinfo.output_scanline < height) {
        uchar* target = image.scanLine(static_cast<int>(cinfo.output_scanline));
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, cmykLine, 1);
            CmykLineToRgb(cmykLine[0], reinterpret_cast<QRgb*>(target), width);
        } else {
            JSAMPROW row = target;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = errors.pub.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

}  // namespace

QImage DecodeJpeg(QByteArrayView data, QString* error) {
    ErrorManager errors{};
    QImage image;
    const bool ok = Decode(reinterpret_cast<const uchar*>(data.data()),
                           static_cast<unsigned long>(data.size()), image, errors);
    if (ok)
        return image;
    if (error)
        *error = QString::fromLocal8Bit(errors.message);
    return QImage();
}

QImage DecodePicture(QByteArrayView data, QString* error) {
    if (data.size() >= 2 && static_cast<uchar>(data[0]) == 0xFF &&
        static_cast<uchar>(data[1]) == 0xD8)
        return DecodeJpeg(data, error);
    if (LooksLikeGif(data)) {
        QImage gif = DecodeGif(data);
        if (!gif.isNull())
            return gif;
        // Qt's reader shows what it could read of a damaged GIF, as it did before there was
        // a reader of our own.
    }
    QImage image = QImage::fromData(data);
    if (image.isNull() && error)
        *error = QStringLiteral("not a picture Qt can read");
    return image;
}
