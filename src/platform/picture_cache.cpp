#include "platform/picture_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/jpeg_decoder.h"
#include "platform/whole_file_writer.h"

namespace {

// The file: a header, then an entry for each picture, then each picture's pixels, rows of
// width × 4 bytes without padding, at an offset that is a multiple of 16. Numbers are the
// machine's own: the file never leaves the machine that wrote it.
constexpr char kMagic[8] = {'k', 'l', 'p', 'i', 'c', 's', '0', '1'};

struct FileHeader {
    char magic[8];
    quint64 edition;
    quint64 fileSize;
    quint32 count;
    quint32 reserved;
};
static_assert(sizeof(FileHeader) == 32);

struct FileEntry {
    quint64 first;
    quint64 second;
    quint64 size;
    quint32 width;
    quint32 height;
    quint32 format;
    quint32 reserved;
    quint64 offset;
};
static_assert(sizeof(FileEntry) == 48);

constexpr quint32 kLargestSide = 16384;
constexpr quint32 kMostPictures = 100000;
// Two languages' pictures take about 15 MB; this keeps a few skins more, not an endless heap.
constexpr qsizetype kLargestFile = 64 * 1024 * 1024;
// A save keeps pictures a run did not use only up to this many bytes of pixels in all.
constexpr qsizetype kMostKeptBytes = kLargestFile / 2;
constexpr quint64 kAlignment = 16;

bool IsKeptFormat(quint32 format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

quint64 Aligned(quint64 offset) {
    return (offset + kAlignment - 1) / kAlignment * kAlignment;
}

// Each picture keeps the whole file's bytes alive while it lives (a share of their owner).
void ReleaseFileBytes(void* bytes) {
    delete static_cast<SharedBytes*>(bytes);
}

std::optional<QImage> PictureOf(const SharedBytes& bytes, const FileEntry& entry) {
    const QByteArrayView file = *bytes;
    if (entry.width == 0 || entry.height == 0 || entry.width > kLargestSide ||
        entry.height > kLargestSide || !IsKeptFormat(entry.format) ||
        entry.offset % kAlignment != 0)
        return std::nullopt;
    const quint64 length = quint64{entry.width} * 4 * entry.height;  // at most 2^30: no overflow
    const auto fileSize = static_cast<quint64>(file.size());
    if (entry.offset > fileSize || length > fileSize - entry.offset)
        return std::nullopt;
    const auto* pixels = reinterpret_cast<const uchar*>(file.data()) + entry.offset;
    QImage image(pixels, static_cast<int>(entry.width), static_cast<int>(entry.height),
                 static_cast<qsizetype>(entry.width) * 4, static_cast<QImage::Format>(entry.format),
                 ReleaseFileBytes, new SharedBytes(bytes));
    if (image.isNull())
        return std::nullopt;
    return image;
}

bool Fits(const QImage& picture) {
    return IsKeptFormat(picture.format()) && picture.width() > 0 && picture.height() > 0 &&
           static_cast<quint32>(picture.width()) <= kLargestSide &&
           static_cast<quint32>(picture.height()) <= kLargestSide;
}

quint64 PixelBytes(const QImage& picture) {
    return quint64(picture.width()) * 4 * quint64(picture.height());
}

}  // namespace

PictureFingerprint FingerprintOf(QByteArrayView encoded) {
    // XXH3's 128 bits: the same in every process (Qt's own hashes are seeded anew in each),
    // and about as fast as reading the bytes.
    const auto size = static_cast<size_t>(encoded.size());
    const XXH128_hash_t hash = XXH3_128bits(encoded.data(), size);
    return {hash.low64, hash.high64, quint64{size}};
}

PictureFingerprint FingerprintOf(const PictureFingerprint& file, QStringView name) {
    QByteArray key(reinterpret_cast<const char*>(&file), sizeof file);
    key.append(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
    return FingerprintOf(key);
}

size_t qHash(const PictureFingerprint& fingerprint, size_t seed) noexcept {
    return qHashMulti(seed, fingerprint.first, fingerprint.second, fingerprint.size);
}

SharedBytes SharedCopy(QByteArray bytes) {
    const QByteArrayView view(bytes);
    // The array lives on in the deleter, which the view's owner keeps.
    return SharedBytes(new QByteArrayView(view),
                       [kept = std::move(bytes)](const QByteArrayView* v) { delete v; });
}

SharedBytes MapFile(const QString& path, qsizetype largest) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    void* start = MAP_FAILED;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        status.st_size <= largest)
        // Populated at once: one call maps every page, where touching them one by one as they
        // are painted costs a fault each (dear in a virtual machine).
        start = ::mmap(nullptr, std::size_t(status.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                       fd, 0);
    ::close(fd);
    if (start == MAP_FAILED)
        return nullptr;
    const auto length = std::size_t(status.st_size);
    return SharedBytes(new QByteArrayView(static_cast<const char*>(start), qsizetype(length)),
                       [start, length](const QByteArrayView* v) {
                           ::munmap(start, length);
                           delete v;
                       });
}

std::optional<CachedPictures> ReadPictureCache(const SharedBytes& bytes, quint64 edition) {
    FileHeader header;
    if (!bytes || edition == 0 || bytes->size() < qsizetype{sizeof header})
        return std::nullopt;
    const QByteArrayView file = *bytes;
    std::memcpy(&header, file.data(), sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.edition != edition ||
        header.fileSize != static_cast<quint64>(file.size()) || header.count > kMostPictures ||
        sizeof header + quint64{header.count} * sizeof(FileEntry) > header.fileSize)
        return std::nullopt;
    CachedPictures pictures;
    pictures.reserve(header.count);
    for (quint32 i = 0; i < header.count; ++i) {
        FileEntry entry;
        std::memcpy(&entry, file.data() + sizeof header + i * sizeof entry, sizeof entry);
        std::optional<QImage> picture = PictureOf(bytes, entry);
        if (!picture)
            return std::nullopt;
        pictures.insert({entry.first, entry.second, entry.size}, *std::move(picture));
    }
    return pictures;
}

QByteArray WritePictureCache(const CachedPictures& pictures, quint64 edition) {
    std::vector<std::pair<PictureFingerprint, const QImage*>> kept;
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it)
        if (Fits(it.value()))
            kept.emplace_back(it.key(), &it.value());
    quint64 offset = Aligned(sizeof(FileHeader) + kept.size() * sizeof(FileEntry));
    std::vector<FileEntry> entries;
    for (const auto& [fingerprint, picture] : kept) {
        entries.push_back({fingerprint.first, fingerprint.second, fingerprint.size,
                           static_cast<quint32>(picture->width()),
                           static_cast<quint32>(picture->height()),
                           static_cast<quint32>(picture->format()), 0, offset});
        offset = Aligned(offset + PixelBytes(*picture));
    }
    QByteArray file(static_cast<qsizetype>(offset), '\0');
    FileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.edition = edition;
    header.fileSize = offset;
    header.count = static_cast<quint32>(entries.size());
    char* out = file.data();
    std::memcpy(out, &header, sizeof header);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(out + sizeof header + i * sizeof(FileEntry), &entries[i], sizeof(FileEntry));
        const QImage& picture = *kept[i].second;
        const auto rowBytes = static_cast<std::size_t>(picture.width()) * 4;
        for (int row = 0; row < picture.height(); ++row)
            std::memcpy(out + entries[i].offset + std::size_t(row) * rowBytes,
                        picture.constScanLine(row), rowBytes);
    }
    return file;
}

QString PictureCacheFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("decoded-pictures"));
}

quint64 ProgramEdition() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (!program.exists())
        return 0;
    // The decoders are part of the executable, and Qt's pixel formats part of Qt.
    const QByteArray identity =
        program.absoluteFilePath().toUtf8() + '\n' + QByteArray::number(program.size()) + '\n' +
        QByteArray::number(program.lastModified().toMSecsSinceEpoch()) + '\n' + qVersion();
    const PictureFingerprint fingerprint = FingerprintOf(identity);
    return fingerprint.first == 0 ? 1 : fingerprint.first;
}

QImage DecodeThrough(PictureCache* cache, QByteArrayView encoded, QString* error) {
    return cache ? cache->Decode(encoded, error) : DecodePicture(encoded, error);
}

PictureCache::PictureCache(const QString& path, quint64 edition)
    : path_(path), edition_(edition), stored_([&] {
          if (path.isEmpty() || edition == 0)
              return CachedPictures();
          return ReadPictureCache(MapFile(path, kLargestFile), edition).value_or(CachedPictures());
      }()) {}

PictureCache::~PictureCache() {
    WaitForSave();
}

QImage PictureCache::Decode(QByteArrayView encoded, QString* error) {
    return Picture(FingerprintOf(encoded), [&] { return DecodePicture(encoded, error); });
}

QImage PictureCache::Picture(const PictureFingerprint& key, const std::function<QImage()>& decode) {
    if (const auto found = stored_.constFind(key); found != stored_.cend()) {
        const std::lock_guard lock(mutex_);
        used_.insert(key, found.value());
        ++usage_.found;
        return found.value();
    }
    QImage picture = decode();
    const std::lock_guard lock(mutex_);
    ++usage_.decoded;
    if (Fits(picture))
        used_.insert(key, picture);
    return picture;
}

void PictureCache::Save() {
    CachedPictures kept;
    {
        const std::lock_guard lock(mutex_);
        if (usage_.decoded == 0 || path_.isEmpty() || edition_ == 0 || saveStarted_)
            return;
        kept = used_;
    }
    saveStarted_ = true;
    qsizetype bytes = 0;
    for (const QImage& picture : std::as_const(kept))
        bytes += static_cast<qsizetype>(PixelBytes(picture));
    for (auto it = stored_.cbegin(); it != stored_.cend(); ++it) {
        const auto more = static_cast<qsizetype>(PixelBytes(it.value()));
        if (kept.contains(it.key()) || bytes + more > kMostKeptBytes)
            continue;
        kept.insert(it.key(), it.value());
        bytes += more;
    }
    const QString path = path_;
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        // The pictures are only read there (their pixels are shared, never changed in place).
        saving_ =
            std::async(std::launch::async, [path, kept = std::move(kept), edition = edition_] {
                const QByteArray file = WritePictureCache(kept, edition);
                return bool(WriteWholeFile(
                    path, std::string_view(file.constData(), std::size_t(file.size()))));
            });
    } catch (const std::system_error&) {
        // No thread to be had: the next run decodes again.
    }
}

PictureCache::Usage PictureCache::Used() const {
    const std::lock_guard lock(mutex_);
    return usage_;
}

bool PictureCache::WaitForSave() {
    if (!saving_.valid())
        return false;
    return saving_.get();
}
