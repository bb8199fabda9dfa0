#include "ui/animation_file.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Under the user's runtime folder where there is one (Unix: private, and emptied at logout, so
// even a killed run leaves nothing for long); in the user's temporary folder elsewhere.
QString FolderTemplate() {
    QString base;
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
    if (base.isEmpty())
        base = QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("keylearn-XXXXXX"));
}

}  // namespace

AnimationFile::AnimationFile() = default;
AnimationFile::~AnimationFile() = default;

void AnimationFile::Write(const QByteArray& animation) {
    // A folder of this user (mode 700) and this run: no other user or run can clash with the
    // file or plant a link where it is written.
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>(FolderTemplate());
        if (!folder_->isValid()) {
            folder_.reset();
            path_.clear();
            return;
        }
    }
    const QString path = QDir(folder_->path()).filePath(QStringLiteral("learning.gif"));
    // The name is given out only once the file is there: a player pointed at a name without a
    // file would be started on nothing.
    path_.clear();
    // What is there goes first, a link included; the new file is then created afresh.
    QFile::remove(path);
    if (animation.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return;
    if (file.write(animation) != animation.size() || !file.flush()) {
        file.close();
        QFile::remove(path);
        return;
    }
    path_ = path;
}

void AnimationFile::Delete() {
    // The folder goes with the file in it.
    folder_.reset();
}
