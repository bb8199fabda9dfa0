#pragma once
// The program's icon for desktop menus: the remote, tilted, with the program's emitter mark.

#include <QImage>

namespace art {

inline constexpr int kAppIconSize = 256;

QImage AppIcon();

}  // namespace art
