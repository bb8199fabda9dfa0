#pragma once
// Every text the user sees, in one place: a reviewer checks the exact wording here instead of
// hunting through the handlers. The texts are written in Chinese, the program's own language,
// and go through Qt's translation system: each is looked up in the shown language at the
// moment it is turned into a QString (ui/language.h installs the translation), never once at
// start-up. The translations live in translations/keylearn_en.ts. Texts that name a key take
// the key's label as an argument.

#include <QCoreApplication>
#include <QString>

namespace texts {

// The translation context of every text here.
inline constexpr char kContext[] = "texts";

// A text of the window: its Chinese source, looked up in the translation each time it is used
// as a QString.
class Text {
  public:
    explicit constexpr Text(const char* source) : source_(source) {}
    operator QString() const { return QCoreApplication::translate(kContext, source_); }
    // The untranslated text, as it stands in the translation file.
    const char* Source() const { return source_; }

  private:
    const char* source_;
};

// The caption of every message box, and the application's title, which is the caption of
// plain messages.
inline constexpr Text kPromptCaption{QT_TRANSLATE_NOOP("texts", "提示")};
inline constexpr Text kApplicationTitle{QT_TRANSLATE_NOOP("texts", "雁湖智联遥控器")};

// Window titles (the taskbar shows them; the frameless windows have no caption bar).
inline constexpr Text kMainWindowTitle{QT_TRANSLATE_NOOP("texts", "自学习")};
inline constexpr Text kSplashTitle{QT_TRANSLATE_NOOP("texts", "启动界面")};

// Tooltips of the round buttons.
inline constexpr Text kHelpToolTip{QT_TRANSLATE_NOOP("texts", "帮助")};
inline constexpr Text kUpdateToolTip{QT_TRANSLATE_NOOP("texts", "升级软件")};
inline constexpr Text kCloseToolTip{QT_TRANSLATE_NOOP("texts", "关闭软件")};

// The buttons of the message boxes, which say what the desktop's own boxes say.
inline constexpr Text kOkButton{QT_TRANSLATE_NOOP("texts", "确定")};
inline constexpr Text kCancelButton{QT_TRANSLATE_NOOP("texts", "取消")};
inline constexpr Text kYesButton{QT_TRANSLATE_NOOP("texts", "是")};
inline constexpr Text kNoButton{QT_TRANSLATE_NOOP("texts", "否")};
inline constexpr Text kRetryButton{QT_TRANSLATE_NOOP("texts", "重试")};

// Labels of the keys of the remote's picture, used in the messages that name a key.
inline constexpr Text kKeyPowerTv{QT_TRANSLATE_NOOP("texts", "POWER/TV")};
inline constexpr Text kKeyTvMute{QT_TRANSLATE_NOOP("texts", "TV/静音")};
inline constexpr Text kKeyCableVolumeUp{QT_TRANSLATE_NOOP("texts", "CBL/音量+")};
inline constexpr Text kKeyVolumeDown{QT_TRANSLATE_NOOP("texts", "音量－")};

// Start-up. The version, the firmware and the web address are the same in every language.
inline const QString kVendorWebAddress = QStringLiteral("www.example.com");
inline constexpr Text kNoRemote{QT_TRANSLATE_NOOP("texts", "未检测到遥控器，请检查USB连接线")};
inline constexpr Text kRemoteMemoryUnreadable{
    QT_TRANSLATE_NOOP("texts", "无法读取遥控器存储器中的数据，请重新连接遥控器后再试！")};
inline const QString kFirmwareLabel = QStringLiteral(" 2.0");
inline constexpr Text kRemoteType{QT_TRANSLATE_NOOP("texts", "雁湖智联遥控器")};

// A text of the vendor's web address (%1) in the shown language.
class TextWithAddress {
  public:
    explicit constexpr TextWithAddress(const char* source) : source_(source) {}
    operator QString() const {
        return QCoreApplication::translate(kContext, source_).arg(kVendorWebAddress);
    }
    const char* Source() const { return source_; }

  private:
    const char* source_;
};
inline constexpr TextWithAddress kUnsupportedRemote{
    QT_TRANSLATE_NOOP("texts", "自学习软件不支持改遥控器，请到%1网站下载最新的该款自学习软件！")};
inline constexpr TextWithAddress kFirmwareTooOld{
    QT_TRANSLATE_NOOP("texts", "遥控器固件程序版本比较低，请到%1网站下载最新的固件程序版本！")};
inline constexpr TextWithAddress kSoftwareTooOld{
    QT_TRANSLATE_NOOP("texts", "自学习软件版本比较低，请到%1下载最新的该款自学习软件！")};
inline constexpr TextWithAddress kFirmwareProgramTooOld{
    QT_TRANSLATE_NOOP("texts", "遥控器固件程序版本比较低，请到%1下载最新的固件程序版本！")};
inline constexpr TextWithAddress kFirmwareVersionTooOld{
    QT_TRANSLATE_NOOP("texts", "遥控器固件版本比较低，请到%1下载最新的固件程序版本！")};

// Another program (a second keylearn, remotectl) is changing this remote; holder is its name,
// or kAnotherProgram when it left none.
inline constexpr Text kAnotherProgram{QT_TRANSLATE_NOOP("texts", "其他程序")};
inline QString RemoteInUse(const QString& holder) {
    return QCoreApplication::translate("texts", "遥控器正在被%1使用，请先关闭它再启动自学习软件！")
        .arg(holder);
}
// The remote's lock could not be taken (problem: the folder or file, and why): without it another
// program could change the remote at the same time, so the program does not open it.
inline QString RemoteNotLockable(const QString& problem) {
    return QCoreApplication::translate(
               "texts",
               "无法锁定遥控器（%1），为防止其他程序同时修改遥控器，请检查后再启动自学习软件！")
        .arg(problem);
}

// Key selection.
inline constexpr Text kClickStartLearningFirst{
    QT_TRANSLATE_NOOP("texts", "请先点击开始学习按钮！")};
inline QString KeyStillLearning(const QString& pendingLabel) {
    // The waiting key is named twice; the key that was clicked is not named.
    return QCoreApplication::translate("texts", "%1按键正在学习，要停止%1按键,请点击停止学习按钮")
        .arg(pendingLabel);
}
inline QString RelearnQuestion(const QString& label) {
    return QCoreApplication::translate("texts", "%1键编码已学习过，要重新学习吗?").arg(label);
}
inline QString ReadyToLearn(const QString& label) {
    return QCoreApplication::translate("texts", "准备学习%1按键， 请发码").arg(label);
}

// Learning.
inline constexpr Text kStopDeletingBeforeLearning{
    QT_TRANSLATE_NOOP("texts", "现在在删除状态，要学习请先停止删除！")};
inline constexpr Text kClickKeyToLearn{
    QT_TRANSLATE_NOOP("texts", "请在左面遥控器上点击待学习的按键！")};
inline constexpr Text kLearningFailed{QT_TRANSLATE_NOOP("texts", "学习失败！")};
inline constexpr Text kChooseKeyAgain{QT_TRANSLATE_NOOP("texts", "请重新选择按键进行学习！")};
inline constexpr Text kCodeReceived{QT_TRANSLATE_NOOP("texts", "已接收到遥控器编码！")};
inline QString KeyBeingLearned(const QString& label) {
    return QCoreApplication::translate("texts", "%1键正在学习！").arg(label);
}
inline QString KeyLearned(const QString& label) {
    return QCoreApplication::translate("texts", "%1键学习成功！").arg(label);
}

// The link to the remote, watched while the window is open.
inline constexpr Text kLinkUp{QT_TRANSLATE_NOOP("texts", " 遥控器连接正常")};
inline constexpr Text kLinkDown{QT_TRANSLATE_NOOP("texts", " 遥控器连接断开")};
inline constexpr Text kReconnectRemote{
    QT_TRANSLATE_NOOP("texts", "未检测到遥控器，请重新连接遥控器！")};
inline constexpr Text kConfirmClose{QT_TRANSLATE_NOOP("texts", "您需要关闭自学习软件吗！")};

// Closing.
inline constexpr Text kStopLearningBeforeClosing{
    QT_TRANSLATE_NOOP("texts", "你正在学习，要退出系统请先停止学习！")};

// The show handler and the round buttons.
inline const QString kProgramVersion = QStringLiteral("V 2.3");
inline constexpr Text kSkinsNotLoaded{QT_TRANSLATE_NOOP("texts", "调用图片出错！")};
inline QString ScreenTooSmall(int width, int height) {
    return QCoreApplication::translate(
               "texts",
               "你目前的显示器分辨率是%1*%2\n为了运行该软件，你的显示器分辨率至少要1024*768")
        .arg(width)
        .arg(height);
}
inline constexpr Text kHelpFileMissing{QT_TRANSLATE_NOOP("texts", "找不到帮助文件！")};
inline constexpr Text kUpdateWhileLearning{
    QT_TRANSLATE_NOOP("texts", "软件正在学习状态，要升级请退出学习状态！")};
inline constexpr Text kUpdateWhileDeleting{
    QT_TRANSLATE_NOOP("texts", "软件正在删除状态，要升级请退出删除状态！")};
inline constexpr Text kNoUpdateNeeded{QT_TRANSLATE_NOOP("texts", "您的软件目前不需要升级！")};

// Deleting one key and clearing every learned key.
inline constexpr Text kStopLearningBeforeDeleting{
    QT_TRANSLATE_NOOP("texts", "现在正在学习状态，要删除请先停止学习！")};
inline constexpr Text kChooseKeyToDelete{
    QT_TRANSLATE_NOOP("texts", "请在左面遥控器上选择待删除的按键！")};
// The first when the remote has no keys at all, the second for a key without a learned code.
inline constexpr Text kNoKeyLearnedYet{
    QT_TRANSLATE_NOOP("texts", "该键还没有自学习过，无法删除！")};
inline constexpr Text kKeyNotLearned{
    QT_TRANSLATE_NOOP("texts", "该按键还没有自学习过，无法删除！")};
inline constexpr Text kDeleteQuestion{
    QT_TRANSLATE_NOOP("texts", "你确实要删除该自学习按键的编码？")};
inline constexpr Text kDeleteSucceeded{QT_TRANSLATE_NOOP("texts", "删除操作成功！")};
inline constexpr Text kDeleteFailed{QT_TRANSLATE_NOOP("texts", "删除操作失败！")};
// The button names stand between ASCII double quotation marks.
inline constexpr Text kStopLearningBeforeClearing{
    QT_TRANSLATE_NOOP("texts", "现在是自学习遥控器按键编码状态，要清空请先点击\"停止学习\"按钮！")};
inline constexpr Text kStopDeletingBeforeClearing{QT_TRANSLATE_NOOP(
    "texts", "现在是删除单个遥控器按键编码状态，要清空请先点击\"停止删除\"按钮！")};
inline constexpr Text kNothingToClear{QT_TRANSLATE_NOOP("texts", "没有可清空的按键的编码！")};
inline constexpr Text kClearQuestion{
    QT_TRANSLATE_NOOP("texts", "你确实要清空所有自学习过的按键的编码吗？")};
inline constexpr Text kClearDone{QT_TRANSLATE_NOOP("texts", "清空操作完成！")};
// Some learned keys kept their codes: the remote refused to clear them.
inline constexpr Text kClearIncomplete{
    QT_TRANSLATE_NOOP("texts", "清空操作未全部完成，有些按键的编码未能清空！")};

// A picture button whose program could not be started from its own folder.
inline QString FolderNotEntered(const QString& path) {
    return QCoreApplication::translate("texts", "无法进入程序所在的文件夹，未能打开：%1").arg(path);
}

}  // namespace texts
