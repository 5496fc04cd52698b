#pragma once
// The program's icon and the toolbar's button images.
#include <QIcon>
#include <string>

class QStyle;

namespace gridora {

QIcon AppIcon();
// A standard image for the framework's commands, else the glyph drawn on a button face.
QIcon ToolbarIcon(int commandId, const std::string& glyph, QStyle* style);

}  // namespace gridora
