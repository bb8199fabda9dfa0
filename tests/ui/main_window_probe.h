#pragma once
// The window's state as tests see and set it: the modes, the pending key, the capture fields,
// the slots and the pictures that the skins would otherwise load.

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QVector>
#include <string>
#include <vector>

#include "learning/capture_thread.h"
#include "ui/main_window.h"

class MainWindowProbe {
  public:
    explicit MainWindowProbe(MainWindow& window) : window_(window) {}

    bool& LearningMode() { return window_.learningMode; }
    bool& DeleteMode() { return window_.deleteMode; }
    bool ClosingDown() const { return window_.closingDown; }
    LinkMonitor* RunningLinkMonitor() const { return window_.linkMonitor; }
    QList<PictureButton*>& PendingKeys() { return window_.pendingKeys; }
    ::CaptureThread*& CaptureThread() { return window_.captureThread; }
    ::CaptureControl& CaptureControl() { return window_.captureControl; }
    CaptureTiming& Timing() { return window_.captureTiming; }
    QString& ConverterFolder() { return window_.converterFolder; }
    std::vector<KeySlot>& KeySlots() { return window_.remoteMap.keySlots; }
    RemoteMap& Map() { return window_.remoteMap; }
    QVector<QPixmap>& KeyPictures() { return window_.keyPictures; }
    QHash<QString, QPixmap>& NamedPictures() { return window_.namedPictures; }
    QString& animationFile() { return window_.animationFile; }
    bool LoadSkins() { return window_.LoadSkins(); }

  private:
    MainWindow& window_;
};
