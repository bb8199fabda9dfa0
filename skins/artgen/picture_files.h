#pragma once
// Writing the generated pictures: JPEG through libjpeg's compression interface, GIF through
// giflib with a palette of our own making.

#include <QImage>
#include <QString>
#include <vector>

// Writes image as a baseline JPEG with the usual 4:2:0 chroma subsampling: at this quality its
// text and edges look the same as without, and it is half the work to decode, which the window
// does for every picture at every start. False with a reason on failure.
bool WriteJpeg(const QImage& image, const QString& path, QString* error);

// Writes image as a single-frame GIF89a. Pixels with alpha 0 become the transparent colour;
// every other pixel is taken as opaque, so callers composite soft edges over whatever the
// picture will lie on before handing it here. Up to 255 colours are chosen by median cut.
bool WriteGif(const QImage& image, const QString& path, QString* error);

// Writes frames of one size as a GIF89a animation that loops for ever, each frame shown for
// delay hundredths of a second, with one colour table for all frames.
bool WriteAnimatedGif(const std::vector<QImage>& frames, int delay, const QString& path,
                      QString* error);
