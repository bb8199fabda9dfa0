#pragma once
// GIF pictures from bytes in memory. The window decodes some seven hundred GIF pictures while it
// opens (the skins' key pictures among them). Qt's reader spends a hundred and more steps on
// every pixel; this one writes each pixel of an LZW string in one step along the string's
// chain, which makes the pictures several times cheaper to open.

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Whether data starts as a GIF does ("GIF87a" or "GIF89a").
bool LooksLikeGif(QByteArrayView data);

// Decodes the first frame of a GIF picture onto its logical screen: RGB32, or
// ARGB32_Premultiplied when the frame has a transparent colour (the screen outside the frame
// is transparent then, else the screen's background colour). A frame reaching past the screen
// is cut at its edge. Only what a picture needs is read: the colour tables,
// the transparent colour of the first frame and the first frame itself. A truncated or corrupt
// picture gives a null image (never a part of one) and, when error is given, the reason.
QImage DecodeGif(QByteArrayView data, QString* error = nullptr);
