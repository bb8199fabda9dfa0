#pragma once
// The texts of start-up. (To be joined with the window's other texts in one file.)

#include <QString>

// The vendor's web site, named in the messages that send the user to a newer version.
inline const QString kVendorWebAddress = QStringLiteral("www.example.com");

inline const QString kNoRemoteText = QStringLiteral("未检测到遥控器，请检查USB连接线");
inline const QString kFirmwareLabelText = QStringLiteral(" 2.0");
inline const QString kRemoteTypeText = QStringLiteral("雁湖智联遥控器");

// Software does not support the remote.
inline QString UnsupportedRemoteText() {
    return QStringLiteral("自学习软件不支持改遥控器，请到") + kVendorWebAddress +
           QStringLiteral("网站下载最新的该款自学习软件！");
}
// Model 8888.
inline QString FirmwareTooOldText() {
    return QStringLiteral("遥控器固件程序版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("网站下载最新的固件程序版本！");
}
// Interface major 2 or more, or minor above 3.
inline QString SoftwareTooOldText() {
    return QStringLiteral("自学习软件版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的该款自学习软件！");
}
// Interface major below 1.
inline QString FirmwareProgramTooOldText() {
    return QStringLiteral("遥控器固件程序版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的固件程序版本！");
}
// Interface minor below 3.
inline QString FirmwareVersionTooOldText() {
    return QStringLiteral("遥控器固件版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的固件程序版本！");
}
