#pragma once
// Pictures from bytes in memory: JPEG through libjpeg's decompression interface, GIF through
// our own reader (platform/gif_decoder.h), every other format through Qt's image readers.

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Decodes a whole JPEG picture. A truncated or corrupt picture, or one libjpeg warns may be
// damaged, gives a null image and, when error is given, libjpeg's reason; it never ends the
// process and never yields a half-decoded picture. Stray bytes before a marker are no damage.
QImage DecodeJpeg(QByteArrayView data, QString* error = nullptr);

// Decodes a picture of any format the program ships: JPEG (recognised by its start-of-image
// marker) through DecodeJpeg, GIF through DecodeGif (and Qt when that refuses it), the rest
// through Qt. A null image when the bytes are no picture.
QImage DecodePicture(QByteArrayView data, QString* error = nullptr);
