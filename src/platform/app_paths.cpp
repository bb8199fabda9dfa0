#include "platform/app_paths.h"

#include <QDir>
#include <QStandardPaths>

QString AppDataFilePath(const QString& fileName) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Without a data folder there is nowhere to write: an empty path makes the write fail,
    // rather than land at the root of the drive.
    if (folder.isEmpty())
        return {};
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + fileName;
}
