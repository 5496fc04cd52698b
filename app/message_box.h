#pragma once
// Message boxes that are never narrower than their title. A short text ("Enter a
// number.") under a long title ("Origin for interpolation") would otherwise make a box
// whose title bar cuts the title.
#include <QString>

class QMessageBox;
class QWidget;

namespace gridora {

// Room the window manager takes in a title bar for the icon and the buttons.
inline constexpr int kTitleBarExtras = 160;

// Widens the box so that its title fits in the title bar beside the window buttons.
void FitTitle(QMessageBox& box);

void ShowInformation(QWidget* parent, const QString& title, const QString& text);
// Yes returns true.
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);

}  // namespace gridora
