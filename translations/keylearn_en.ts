<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="zh_CN">
<context>
    <name>artwork</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>电视</source>
        <translation>TV</translation>
    </message>
    <message>
        <source>机顶盒</source>
        <translation>STB</translation>
    </message>
    <message>
        <source>功放</source>
        <translation>AMP</translation>
    </message>
    <message>
        <source>回看</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>主页</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>字幕</source>
        <translation>Sub</translation>
    </message>
    <message>
        <source>节目单</source>
        <translation>Guide</translation>
    </message>
    <message>
        <source>声道</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>画面</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>VOL</translation>
    </message>
    <message>
        <source>频道</source>
        <translation>CH</translation>
    </message>
    <message>
        <source>雁湖智联</source>
        <translation>Yanhu</translation>
    </message>
    <message>
        <source>欢迎使用遥控器按键自学习</source>
        <translation>Welcome to Remote Key Learning</translation>
    </message>
    <message>
        <source>把任意红外遥控器的按键复制到本遥控器上</source>
        <translation>Copy the keys of any infrared remote onto this remote</translation>
    </message>
    <message>
        <source>第一步：选择要学习的按键</source>
        <translation>Step 1: choose the key to learn</translation>
    </message>
    <message>
        <source>在左面遥控器图片上点击该按键</source>
        <translation>Click that key on the remote at the left</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>停止删除</source>
        <translation>Stop Deleting</translation>
    </message>
    <message>
        <source>将原遥控器对准本遥控器，按住要复制的按键</source>
        <translation>Point the old remote at this one and hold down the key to copy</translation>
    </message>
    <message>
        <source>按键状态</source>
        <translation>Key states</translation>
    </message>
    <message>
        <source>已学习</source>
        <translation>Learned</translation>
    </message>
    <message>
        <source>已下载</source>
        <translation>Downloaded</translation>
    </message>
    <message>
        <source>无编码</source>
        <translation>No code</translation>
    </message>
    <message>
        <source>遥控器未连接</source>
        <translation>Remote not connected</translation>
    </message>
    <message>
        <source>请用USB线连接遥控器</source>
        <translation>Connect it with the USB cable</translation>
    </message>
    <message>
        <source>遥控器按键自学习</source>
        <translation>Remote Key Learning</translation>
    </message>
    <message>
        <source>红外编码学习  ·  雁湖智联遥控器</source>
        <translation>Infrared code learning  ·  Yanhu Smart Link Remote</translation>
    </message>
    <message>
        <source>遥控器类型：</source>
        <translation>Remote type:</translation>
    </message>
    <message>
        <source>软件版本：</source>
        <translation>Software:</translation>
    </message>
    <message>
        <source>固件版本：</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>连接状态：</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <source>如需学习按键编码，请点击“开始学习”按钮。</source>
        <translation>To learn key codes, click the &quot;Start Learning&quot; button.</translation>
    </message>
    <message>
        <source>如需学习按键编码，请点击“开始学习”按钮；</source>
        <translation>To learn key codes, click the &quot;Start Learning&quot; button;</translation>
    </message>
    <message>
        <source>如需删除已学习的编码，请点击“删除”按钮；</source>
        <translation>to delete a learned code, click the &quot;Delete&quot; button;</translation>
    </message>
    <message>
        <source>如需清空全部已学习的编码，请点击“清空”按钮。</source>
        <translation>to clear every learned code, click the &quot;Clear&quot; button.</translation>
    </message>
    <message>
        <source>在左面遥控器图片上点击要学习的按键；</source>
        <translation>Click the key to learn on the remote at the left;</translation>
    </message>
    <message>
        <source>按动画提示，用原遥控器对准本遥控器按下要复制的键；</source>
        <translation>point the old remote at this one and press the key;</translation>
    </message>
    <message>
        <source>重复以上步骤，继续学习其他按键；</source>
        <translation>repeat these steps to learn further keys;</translation>
    </message>
    <message>
        <source>学习完毕，请点击“停止学习”按钮；</source>
        <translation>when you are done, click the &quot;Stop Learning&quot; button;</translation>
    </message>
    <message>
        <source>每次按键请按住至少2秒钟。</source>
        <translation>hold each key down for at least 2 seconds.</translation>
    </message>
    <message>
        <source>注意：点击“停止学习”按钮之前，请勿拔下USB连接线！</source>
        <translation>Note: keep the USB cable in until you click &quot;Stop Learning&quot;!</translation>
    </message>
    <message>
        <source>在左面遥控器图片的红色按键中选择要删除的按键；</source>
        <translation>Choose the key to delete among the red keys at the left;</translation>
    </message>
    <message>
        <source>在弹出的对话框中确认删除；</source>
        <translation>confirm the deletion in the box that opens;</translation>
    </message>
    <message>
        <source>重复以上步骤，继续删除其他按键；</source>
        <translation>repeat these steps to delete further keys;</translation>
    </message>
    <message>
        <source>删除完毕，请点击“停止删除”按钮。</source>
        <translation>when you are done, click the &quot;Stop Deleting&quot; button.</translation>
    </message>
    <message>
        <source>注意：每次删除是否成功，都会弹出对话框提示。</source>
        <translation>Note: a box tells you whether each deletion succeeded.</translation>
    </message>
    <message>
        <source>操作提示</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>开始学习</source>
        <translation>Start Learning</translation>
    </message>
    <message>
        <source>停止学习</source>
        <translation>Stop Learning</translation>
    </message>
    <message>
        <source>学习任意红外遥控器的按键编码</source>
        <translation>Learn the key codes of any infrared remote</translation>
    </message>
    <message>
        <source>V 2.3    正在连接遥控器…</source>
        <translation>V 2.3    Connecting to the remote...</translation>
    </message>
</context>
<context>
    <name>texts</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>雁湖智联遥控器</source>
        <translation>Yanhu Smart Link Remote</translation>
    </message>
    <message>
        <source>自学习</source>
        <translation>Key Learning</translation>
    </message>
    <message>
        <source>启动界面</source>
        <translation>Starting</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>升级软件</source>
        <translation>Update the software</translation>
    </message>
    <message>
        <source>关闭软件</source>
        <translation>Close the software</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>POWER/TV</source>
        <translation>POWER/TV</translation>
    </message>
    <message>
        <source>TV/静音</source>
        <translation>TV/Mute</translation>
    </message>
    <message>
        <source>CBL/音量+</source>
        <translation>CBL/Vol+</translation>
    </message>
    <message>
        <source>音量－</source>
        <translation>Vol-</translation>
    </message>
    <message>
        <source>未检测到遥控器，请检查USB连接线</source>
        <translation>No remote control found. Please check the USB cable.</translation>
    </message>
    <message>
        <source>无法读取遥控器存储器中的数据，请重新连接遥控器后再试！</source>
        <translation>Cannot read the data in the remote control&apos;s memory. Please connect the remote control again and retry!</translation>
    </message>
    <message>
        <source>自学习软件不支持改遥控器，请到%1网站下载最新的该款自学习软件！</source>
        <translation>This key learning software does not support this remote control. Please download the latest key learning software for it from the %1 website!</translation>
    </message>
    <message>
        <source>遥控器固件程序版本比较低，请到%1网站下载最新的固件程序版本！</source>
        <translation>The remote control&apos;s firmware is too old. Please download the latest firmware from the %1 website!</translation>
    </message>
    <message>
        <source>自学习软件版本比较低，请到%1下载最新的该款自学习软件！</source>
        <translation>This key learning software is too old. Please download the latest version from %1!</translation>
    </message>
    <message>
        <source>遥控器固件程序版本比较低，请到%1下载最新的固件程序版本！</source>
        <translation>The remote control&apos;s firmware program is too old. Please download the latest firmware from %1!</translation>
    </message>
    <message>
        <source>遥控器固件版本比较低，请到%1下载最新的固件程序版本！</source>
        <translation>The remote control&apos;s firmware version is too old. Please download the latest firmware from %1!</translation>
    </message>
    <message>
        <source>其他程序</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>无法锁定遥控器（%1），为防止其他程序同时修改遥控器，请检查后再启动自学习软件！</source>
        <translation>The remote control cannot be locked (%1). So that no other program changes it at the same time, please check this before you start the key learning software!</translation>
    </message>
    <message>
        <source>遥控器正在被%1使用，请先关闭它再启动自学习软件！</source>
        <translation>The remote control is in use by %1. Please close it before you start the key learning software!</translation>
    </message>
    <message>
        <source>请先点击开始学习按钮！</source>
        <translation>Please click the Start Learning button first!</translation>
    </message>
    <message>
        <source>%1按键正在学习，要停止%1按键,请点击停止学习按钮</source>
        <translation>The %1 key is being learned. To stop learning the %1 key, click the Stop Learning button</translation>
    </message>
    <message>
        <source>%1键编码已学习过，要重新学习吗?</source>
        <translation>The %1 key has been learned already. Learn it again?</translation>
    </message>
    <message>
        <source>准备学习%1按键， 请发码</source>
        <translation>Ready to learn the %1 key, please send its code</translation>
    </message>
    <message>
        <source>现在在删除状态，要学习请先停止删除！</source>
        <translation>Deleting is on. To learn, stop deleting first!</translation>
    </message>
    <message>
        <source>请在左面遥控器上点击待学习的按键！</source>
        <translation>Click the key to learn on the remote on the left!</translation>
    </message>
    <message>
        <source>学习失败！</source>
        <translation>Learning failed!</translation>
    </message>
    <message>
        <source>请重新选择按键进行学习！</source>
        <translation>Please choose a key to learn again!</translation>
    </message>
    <message>
        <source>已接收到遥控器编码！</source>
        <translation>The remote control received the code!</translation>
    </message>
    <message>
        <source>%1键正在学习！</source>
        <translation>The %1 key is being learned!</translation>
    </message>
    <message>
        <source>%1键学习成功！</source>
        <translation>The %1 key was learned!</translation>
    </message>
    <message>
        <source> 遥控器连接正常</source>
        <translation> Remote connected</translation>
    </message>
    <message>
        <source> 遥控器连接断开</source>
        <translation> Remote disconnected</translation>
    </message>
    <message>
        <source>未检测到遥控器，请重新连接遥控器！</source>
        <translation>No remote control found. Please connect the remote control again!</translation>
    </message>
    <message>
        <source>您需要关闭自学习软件吗！</source>
        <translation>Do you want to close the key learning software?</translation>
    </message>
    <message>
        <source>你正在学习，要退出系统请先停止学习！</source>
        <translation>You are learning. To quit, stop learning first!</translation>
    </message>
    <message>
        <source>调用图片出错！</source>
        <translation>The pictures could not be loaded!</translation>
    </message>
    <message>
        <source>你目前的显示器分辨率是%1*%2
为了运行该软件，你的显示器分辨率至少要1024*768</source>
        <translation>Your screen resolution is %1*%2
This software needs a screen resolution of at least 1024*768</translation>
    </message>
    <message>
        <source>找不到帮助文件！</source>
        <translation>The help file cannot be found!</translation>
    </message>
    <message>
        <source>软件正在学习状态，要升级请退出学习状态！</source>
        <translation>The software is learning. To update it, stop learning first!</translation>
    </message>
    <message>
        <source>软件正在删除状态，要升级请退出删除状态！</source>
        <translation>The software is deleting. To update it, stop deleting first!</translation>
    </message>
    <message>
        <source>您的软件目前不需要升级！</source>
        <translation>Your software needs no update now!</translation>
    </message>
    <message>
        <source>现在正在学习状态，要删除请先停止学习！</source>
        <translation>Learning is on. To delete, stop learning first!</translation>
    </message>
    <message>
        <source>请在左面遥控器上选择待删除的按键！</source>
        <translation>Choose the key to delete on the remote on the left!</translation>
    </message>
    <message>
        <source>该键还没有自学习过，无法删除！</source>
        <translation>No key has been learned yet: there is nothing to delete!</translation>
    </message>
    <message>
        <source>该按键还没有自学习过，无法删除！</source>
        <translation>This key has not been learned: it cannot be deleted!</translation>
    </message>
    <message>
        <source>你确实要删除该自学习按键的编码？</source>
        <translation>Do you really want to delete the learned code of this key?</translation>
    </message>
    <message>
        <source>删除操作成功！</source>
        <translation>The code was deleted!</translation>
    </message>
    <message>
        <source>删除操作失败！</source>
        <translation>The code could not be deleted!</translation>
    </message>
    <message>
        <source>现在是自学习遥控器按键编码状态，要清空请先点击&quot;停止学习&quot;按钮！</source>
        <translation>Keys are being learned now. To clear, click the &quot;Stop Learning&quot; button first!</translation>
    </message>
    <message>
        <source>现在是删除单个遥控器按键编码状态，要清空请先点击&quot;停止删除&quot;按钮！</source>
        <translation>Single keys are being deleted now. To clear, click the &quot;Stop Deleting&quot; button first!</translation>
    </message>
    <message>
        <source>没有可清空的按键的编码！</source>
        <translation>There are no key codes to clear!</translation>
    </message>
    <message>
        <source>你确实要清空所有自学习过的按键的编码吗？</source>
        <translation>Do you really want to clear the codes of all learned keys?</translation>
    </message>
    <message>
        <source>清空操作完成！</source>
        <translation>All learned codes were cleared!</translation>
    </message>
    <message>
        <source>清空操作未全部完成，有些按键的编码未能清空！</source>
        <translation>Clearing did not complete: some keys kept their codes!</translation>
    </message>
    <message>
        <source>无法进入程序所在的文件夹，未能打开：%1</source>
        <translation>Cannot enter the program&apos;s folder, so it could not be opened: %1</translation>
    </message>
</context>
</TS>
