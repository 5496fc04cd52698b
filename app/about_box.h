#pragma once
// The about box: the program's icon, name and version, and its release date.
#include <QDialog>

namespace gridora {

class CAboutBox : public QDialog {
 public:
  explicit CAboutBox(QWidget* parent);
};

}  // namespace gridora
