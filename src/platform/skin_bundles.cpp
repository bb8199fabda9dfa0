#include "platform/skin_bundles.h"

#include <QDir>
#include <QFile>
#include <QResource>
#include <array>
#include <limits>

#include "platform/jpeg_decoder.h"
#include "platform/picture_cache.h"

namespace {

constexpr std::array kBundleNames = {"on7731", "sn7731", "fn7731", "bn7731", "dn7731"};

const char* BundleName(SkinBundle bundle) {
    return kBundleNames.at(static_cast<std::size_t>(bundle));
}

// Each bundle under a root of its own, so that equal resource names never meet.
QString RootOf(SkinBundle bundle) {
    return QStringLiteral("/keylearn-skins/") + QLatin1String(BundleName(bundle));
}

const uchar* Data(const SharedBytes& bytes) {
    return reinterpret_cast<const uchar*>(bytes->data());
}

}  // namespace

QString SkinBundleFileName(SkinBundle bundle) {
    return QLatin1String(BundleName(bundle)) + QStringLiteral(".rcc");
}

SkinBundles::~SkinBundles() {
    Release();
}

bool SkinBundles::Register(const QString& folder) {
    for (std::size_t i = 0; i < kBundleNames.size(); ++i) {
        const auto bundle = static_cast<SkinBundle>(i);
        const QString file = QDir(folder).filePath(SkinBundleFileName(bundle));
        const QString root = RootOf(bundle);
        // Mapped once, for Qt to read the resources from and for the fingerprint the cache
        // keeps their pictures under (so that a picture found there needs no look-up here).
        const SharedBytes bytes = MapFile(file, std::numeric_limits<qsizetype>::max());
        if (!bytes || !QResource::registerResource(Data(bytes), root))
            return false;
        registered_.push_back({bytes, root, FingerprintOf(*bytes)});
    }
    return true;
}

void SkinBundles::Release() {
    for (const Registered& bundle : registered_)
        QResource::unregisterResource(Data(bundle.bytes), bundle.root);
    registered_.clear();
}

QByteArray SkinBundles::Read(SkinBundle bundle, const QString& name) const {
    if (static_cast<std::size_t>(bundle) >= registered_.size())
        return {};
    // QFile also undoes any compression the bundle was built with.
    QFile resource(QLatin1Char(':') + RootOf(bundle) + QLatin1Char('/') + name);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return resource.readAll();
}

QImage SkinBundles::Picture(SkinBundle bundle, const QString& name, PictureCache* cache) const {
    if (static_cast<std::size_t>(bundle) >= registered_.size())
        return {};
    // Read in place where the bundle holds the picture uncompressed (as the build makes them):
    // a QResource is a third of the work of a QFile on it, which counts for 682 pictures.
    const auto decode = [&] {
        const QResource resource(QLatin1Char(':') + RootOf(bundle) + QLatin1Char('/') + name);
        if (!resource.isValid())
            return QImage();
        if (resource.compressionAlgorithm() == QResource::NoCompression)
            return DecodePicture(
                QByteArrayView(reinterpret_cast<const char*>(resource.data()), resource.size()));
        const QByteArray data = resource.uncompressedData();
        return data.isEmpty() ? QImage() : DecodePicture(data);
    };
    if (cache)
        return cache->Picture(FingerprintOf(registered_[std::size_t(bundle)].fingerprint, name),
                              decode);
    return decode();
}
