#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "skins/artgen/picture_files.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Holds the setjmp; only plain data lives between it and libjpeg's frames.
bool Compress(const QImage& rgb, std::FILE* file, ErrorManager& errors) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 93, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg does not write through the row pointer; the cast only drops const.
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool WriteJpeg(const QImage& image, const QString& path, QString* error) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file) {
        *error = QStringLiteral("cannot create ") + path;
        return false;
    }
    ErrorManager errors{};
    const bool compressed = Compress(rgb, file, errors);
    const bool closed = std::fclose(file) == 0;
    if (!compressed)
        *error = QString::fromLocal8Bit(errors.message);
    else if (!closed)
        *error = QStringLiteral("cannot write ") + path;
    return compressed && closed;
}
