#pragma once
// The learning animation as a file the movie player reads: written into a folder private to
// this user and this run (never a fixed shared path), replaced afresh at every write, and gone
// with its folder when deleted or when this object goes.

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryDir;

class AnimationFile {
  public:
    AnimationFile();
    ~AnimationFile();
    AnimationFile(const AnimationFile&) = delete;
    AnimationFile& operator=(const AnimationFile&) = delete;

    // Writes the animation; whatever lies at the file's place goes first, a link included
    // (never the file it leads to). A failure leaves no file, and Path() empty.
    void Write(const QByteArray& animation);
    // The file written last; empty when there is none.
    const QString& Path() const { return path_; }
    // Deletes the file and its folder.
    void Delete();

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
};
