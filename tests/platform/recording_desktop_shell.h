#pragma once
// A desktop shell that opens nothing and records what it was asked, in order.

#include <QString>
#include <QStringList>

#include "platform/desktop_shell.h"

class RecordingDesktopShell final : public DesktopShell {
  public:
    bool OpenWithShell(const QString& path) override {
        calls << QStringLiteral("open ") + path;
        return true;
    }
    bool SetCurrentFolder(const QString& folder) override {
        calls << QStringLiteral("cd ") + folder;
        return folderChangeSucceeds;
    }

    QStringList calls;
    bool folderChangeSucceeds = true;
};
