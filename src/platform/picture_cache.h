#pragma once
// Decoded pictures kept between runs, so that a start decodes no picture it decoded before.
//
// The window shows some 700 pictures, and decoding them (JPEG and GIF) is most of what a start
// costs beyond an empty window. The cache is one file in the user's cache folder holding the
// pixels of every picture one run decoded, each under a fingerprint of the picture's encoded
// bytes: a picture whose bytes change (another skin, a new build's artwork) is simply not found
// and is decoded again. The file belongs to one build of the program (its edition, see
// ProgramEdition): a program that decodes differently never reads another's pixels.
//
// The file is mapped into memory and its pictures point into it, so that a start copies no pixel
// (fontconfig keeps its caches the same way). It is checked whole at the start:
// any damage in it (truncated, foreign, an entry outside the file) makes it an empty cache,
// never a wrong picture or a crash. It is written anew, in the background and through
// WriteWholeFile (a new file renamed over the old one, so that a mapped file never changes
// under a running program), only by a run that decoded something it did not hold.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

// What identifies a picture's encoded bytes: a 128-bit hash (XXH3) and the length.
struct PictureFingerprint {
    quint64 first = 0;
    quint64 second = 0;
    quint64 size = 0;
    friend bool operator==(const PictureFingerprint&, const PictureFingerprint&) = default;
};
PictureFingerprint FingerprintOf(QByteArrayView encoded);
// The fingerprint of the picture of this name inside a file (a skin bundle) whose bytes have
// the fingerprint file: it changes with any byte of the file, and needs none of the picture's.
PictureFingerprint FingerprintOf(const PictureFingerprint& file, QStringView name);
size_t qHash(const PictureFingerprint& fingerprint, size_t seed = 0) noexcept;

// The pictures of one cache file, by fingerprint; the images share the file's bytes.
using CachedPictures = QHash<PictureFingerprint, QImage>;

// A cache file's bytes, which stay as long as the last picture pointing into them.
using SharedBytes = std::shared_ptr<const QByteArrayView>;
SharedBytes SharedCopy(QByteArray bytes);
// The file mapped read-only; null when it is missing, no regular file, empty or larger.
SharedBytes MapFile(const QString& path, qsizetype largest);

// The pictures a cache file holds, or nothing when the file is not a sound cache of this
// edition. Never reads outside the bytes.
std::optional<CachedPictures> ReadPictureCache(const SharedBytes& file, quint64 edition);

// The bytes of a cache file of this edition holding these pictures. Pictures in a format the
// cache does not keep (other than 32 bits a pixel) are left out.
QByteArray WritePictureCache(const CachedPictures& pictures, quint64 edition);

// Where the program keeps its cache: "decoded-pictures" in the user's cache folder.
QString PictureCacheFile();

// The edition of the running program: changes with every build of its executable and with the
// Qt it runs on. 0 when the executable cannot be looked at (no cache is read or written then).
quint64 ProgramEdition();

class PictureCache;
// The picture these bytes encode: through the cache when there is one, else DecodePicture.
QImage DecodeThrough(PictureCache* cache, QByteArrayView encoded, QString* error = nullptr);

class PictureCache {
  public:
    // Reads the cache file at path (empty: a cache that keeps nothing between runs).
    PictureCache(const QString& path, quint64 edition);
    // Waits for a save that is still being written.
    ~PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // The picture these bytes encode, from the cache when it holds it, else through
    // DecodePicture (and then kept for Save). Any thread.
    QImage Decode(QByteArrayView encoded, QString* error = nullptr);
    // The picture kept under key, else the one decode gives (kept for Save when it is not
    // null). Any thread.
    QImage Picture(const PictureFingerprint& key, const std::function<QImage()>& decode);

    // When this run decoded a picture the cache did not hold, writes the file anew on a thread
    // of its own (the file's bytes are put together there too): every picture this run used, and as
    // many of the others the file held as fit under the size limit (so that runs in two languages
    // do not push each other out). Once a run; later calls do nothing. One thread only.
    void Save();

    struct Usage {
        int found = 0;    // pictures taken from the cache
        int decoded = 0;  // pictures decoded
    };
    Usage Used() const;

    // Waits for a save in progress; whether the file was written (false also when none ran).
    bool WaitForSave();

  private:
    const QString path_;
    const quint64 edition_;
    const CachedPictures stored_;  // what the file held at the start; never changes after
    mutable std::mutex mutex_;     // guards used_ and usage_
    CachedPictures used_;          // every picture this run asked for
    Usage usage_;
    // These two only on the thread that saves.
    bool saveStarted_ = false;
    std::future<bool> saving_;  // the write Save started
};
