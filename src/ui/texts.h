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
// The remote's lock could not be taken (problem: the folder or file, and why): without it another
// program could change the remote at the same time, so the program does not open it.
inline QString RemoteNotLockable(const QString& problem) {
    return QStringLiteral("无法锁定遥控器（") + problem +
           QStringLiteral("），为防止其他程序同时修改遥控器，请检查后再启动自学习软件！");
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

// Learning.
inline const QString kStopDeletingBeforeLearning =
    QStringLiteral("现在在删除状态，要学习请先停止删除！");
inline const QString kClickKeyToLearn = QStringLiteral("请在左面遥控器上点击待学习的按键！");
inline const QString kLearningFailed = QStringLiteral("学习失败！");
inline const QString kChooseKeyAgain = QStringLiteral("请重新选择按键进行学习！");
inline const QString kCodeReceived = QStringLiteral("已接收到遥控器编码！");
inline QString KeyBeingLearned(const QString& label) {
    return label + QStringLiteral("键正在学习！");
}
inline QString KeyLearned(const QString& label) {
    return label + QStringLiteral("键学习成功！");
}

// The link to the remote, watched while the window is open.
inline const QString kLinkUp = QStringLiteral(" 遥控器连接正常");
inline const QString kLinkDown = QStringLiteral(" 遥控器连接断开");
inline const QString kReconnectRemote = QStringLiteral("未检测到遥控器，请重新连接遥控器！");
inline const QString kConfirmClose = QStringLiteral("您需要关闭自学习软件吗！");

// Closing.
inline const QString kStopLearningBeforeClosing =
    QStringLiteral("你正在学习，要退出系统请先停止学习！");

// The show handler and the round buttons.
inline const QString kProgramVersion = QStringLiteral("V 2.3");
inline const QString kSkinsNotLoaded = QStringLiteral("调用图片出错！");
inline QString ScreenTooSmall(int width, int height) {
    return QStringLiteral("你目前的显示器分辨率是%1*%2\n").arg(width).arg(height) +
           QStringLiteral("为了运行该软件，你的显示器分辨率至少要1024*768");
}
inline const QString kHelpFileMissing = QStringLiteral("找不到帮助文件！");
inline const QString kUpdateWhileLearning =
    QStringLiteral("软件正在学习状态，要升级请退出学习状态！");
inline const QString kUpdateWhileDeleting =
    QStringLiteral("软件正在删除状态，要升级请退出删除状态！");
inline const QString kNoUpdateNeeded = QStringLiteral("您的软件目前不需要升级！");

// Deleting one key and clearing every learned key.
inline const QString kStopLearningBeforeDeleting =
    QStringLiteral("现在正在学习状态，要删除请先停止学习！");
inline const QString kChooseKeyToDelete = QStringLiteral("请在左面遥控器上选择待删除的按键！");
// The first when the remote has no keys at all, the second for a key without a learned code.
inline const QString kNoKeyLearnedYet = QStringLiteral("该键还没有自学习过，无法删除！");
inline const QString kKeyNotLearned = QStringLiteral("该按键还没有自学习过，无法删除！");
inline const QString kDeleteQuestion = QStringLiteral("你确实要删除该自学习按键的编码？");
inline const QString kDeleteSucceeded = QStringLiteral("删除操作成功！");
inline const QString kDeleteFailed = QStringLiteral("删除操作失败！");
// The button names stand between ASCII double quotation marks.
inline const QString kStopLearningBeforeClearing =
    QStringLiteral("现在是自学习遥控器按键编码状态，要清空请先点击\"停止学习\"按钮！");
inline const QString kStopDeletingBeforeClearing =
    QStringLiteral("现在是删除单个遥控器按键编码状态，要清空请先点击\"停止删除\"按钮！");
inline const QString kNothingToClear = QStringLiteral("没有可清空的按键的编码！");
inline const QString kClearQuestion = QStringLiteral("你确实要清空所有自学习过的按键的编码吗？");
inline const QString kClearDone = QStringLiteral("清空操作完成！");
// Some learned keys kept their codes: the remote refused to clear them.
inline const QString kClearIncomplete =
    QStringLiteral("清空操作未全部完成，有些按键的编码未能清空！");

// A picture button whose program could not be started from its own folder.
inline QString FolderNotEntered(const QString& path) {
    return QStringLiteral("无法进入程序所在的文件夹，未能打开：") + path;
}

}  // namespace texts
