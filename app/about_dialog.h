#pragma once
// The about box: the program's icon, name and version, and its release date.
#include <QDialog>

namespace gridora {

class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace gridora
