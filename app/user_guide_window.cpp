#include "user_guide_window.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The guide's resource lives in the window's static library: registered here, since
// nothing else refers to it and the linker would leave it out.
static void LoadGuideResource() { Q_INIT_RESOURCE(guide); }

namespace gridora {

void ShowUserGuide(QWidget* parent) {
  static QPointer<QDialog> window;
  if (!window) {
    LoadGuideResource();
    window = new QDialog(parent);
    window->setObjectName("UserGuide");
    window->setWindowTitle("Gridora User Guide");
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(window);
    auto* browser = new QTextBrowser(window);
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(false);  // the guide is read offline
    browser->setSource(QUrl("qrc:/guide/user_guide.html"));
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window.data(), &QDialog::close);
    layout->addWidget(buttons);
    window->resize(820, 680);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace gridora
