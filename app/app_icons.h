#pragma once
// The program's icon and the toolbar's button images.
#include <QIcon>
#include <string>

namespace gridora {

QIcon AppIcon();
// A toolbar image from the program's resources (resources/icons/NAME.svg), drawn at
// whatever size and pixel ratio the toolbar asks for.
QIcon ToolbarIcon(const std::string& name);

}  // namespace gridora
