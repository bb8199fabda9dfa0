#include "app_paths.h"

#include <QDir>
#include <QStandardPaths>

QString AppDataFilePath(const QString& fileName) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + fileName;
}
