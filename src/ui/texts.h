#pragma once
// Every text the user sees, in one place: the program speaks Chinese, and a reviewer checks the
// exact wording here instead of hunting through the handlers. Texts that name a key take the
// key's label as an argument.

#include <QString>

namespace texts {

// The caption of every message box, and the application's title, which is the caption of
// plain messages.
inline const QString kPromptCaption = QStringLiteral("提示");
inline const QString kApplicationTitle = QStringLiteral("雁湖智联遥控器");

// Window titles (the taskbar shows them; the frameless windows have no caption bar).
inline const QString kMainWindowTitle = QStringLiteral("自学习");
inline const QString kSplashTitle = QStringLiteral("启动界面");

// Tooltips of the round buttons.
inline const QString kHelpToolTip = QStringLiteral("帮助");
inline const QString kUpdateToolTip = QStringLiteral("升级软件");
inline const QString kCloseToolTip = QStringLiteral("关闭软件");

// Labels of the keys of the remote's picture, used in the messages that name a key.
inline const QString kKeyPowerTv = QStringLiteral("POWER/TV");
inline const QString kKeyTvMute = QStringLiteral("TV/静音");
inline const QString kKeyCableVolumeUp = QStringLiteral("CBL/音量+");
inline const QString kKeyVolumeDown = QStringLiteral("音量－");

// Start-up.
inline const QString kVendorWebAddress = QStringLiteral("www.example.com");
inline const QString kNoRemote = QStringLiteral("未检测到遥控器，请检查USB连接线");
inline const QString kRemoteMemoryUnreadable =
    QStringLiteral("无法读取遥控器存储器中的数据，请重新连接遥控器后再试！");
inline const QString kFirmwareLabel = QStringLiteral(" 2.0");
inline const QString kRemoteType = QStringLiteral("雁湖智联遥控器");
inline const QString kUnsupportedRemote = QStringLiteral("自学习软件不支持改遥控器，请到") +
                                          kVendorWebAddress +
                                          QStringLiteral("网站下载最新的该款自学习软件！");
inline const QString kFirmwareTooOld = QStringLiteral("遥控器固件程序版本比较低，请到") +
                                       kVendorWebAddress +
                                       QStringLiteral("网站下载最新的固件程序版本！");
inline const QString kSoftwareTooOld = QStringLiteral("自学习软件版本比较低，请到") +
                                       kVendorWebAddress +
                                       QStringLiteral("下载最新的该款自学习软件！");
inline const QString kFirmwareProgramTooOld = QStringLiteral("遥控器固件程序版本比较低，请到") +
                                              kVendorWebAddress +
                                              QStringLiteral("下载最新的固件程序版本！");
inline const QString kFirmwareVersionTooOld = QStringLiteral("遥控器固件版本比较低，请到") +
                                              kVendorWebAddress +
                                              QStringLiteral("下载最新的固件程序版本！");

// Another program (a second keylearn, remotectl) is changing this remote; holder is its name,
// or kAnotherProgram when it left none.
inline const QString kAnotherProgram = QStringLiteral("其他程序");
inline QString RemoteInUse(const QString& holder) {
    return QStringLiteral("遥控器正在被") + holder +
           QStringLiteral("使用，请先关闭它再启动自学习软件！");
}

// Key selection.
inline const QString kClickStartLearningFirst = QStringLiteral("请先点击开始学习按钮！");
inline QString KeyStillLearning(const QString& pendingLabel) {
    // The waiting key is named twice; the key that was clicked is not named.
    const QString key = pendingLabel + QStringLiteral("按键");
    return key + QStringLiteral("正在学习，要停止") + key + QStringLiteral(",请点击停止学习按钮");
}
inline QString RelearnQuestion(const QString& label) {
    return label + QStringLiteral("键编码已学习过，要重新学习吗?");
}
inline QString ReadyToLearn(const QString& label) {
    return QStringLiteral("准备学习") + label + QStringLiteral("按键， 请发码");
}

// The link to the remote, watched while the window is open.
inline const QString kLinkUp = QStringLiteral(" 遥控器连接正常");
inline const QString kLinkDown = QStringLiteral(" 遥控器连接断开");
inline const QString kReconnectRemote = QStringLiteral("未检测到遥控器，请重新连接遥控器！");
inline const QString kConfirmClose = QStringLiteral("您需要关闭自学习软件吗！");

// Closing.
inline const QString kStopLearningBeforeClosing =
    QStringLiteral("你正在学习，要退出系统请先停止学习！");

// Deleting.
inline const QString kDeleteFailed = QStringLiteral("删除操作失败！");

// A picture button whose program could not be started from its own folder.
inline QString FolderNotEntered(const QString& path) {
    return QStringLiteral("无法进入程序所在的文件夹，未能打开：") + path;
}

}  // namespace texts
