#include "qt_user_interface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QProgressDialog>
#include <algorithm>

#include "message_box.h"
#include "parameter_dialog.h"
#include "platform/default_extension.h"
#include "points_table_dialog.h"

namespace gridora {
namespace {

const char* kTitle = "Gridora";

// "Gridora Files (*.snp)" already names its pattern; a bare description gets it added.
QString FilterText(const FileFilter& filter) {
  QString text = QString::fromStdString(filter.description);
  const QString pattern = QString::fromStdString(filter.pattern);
  if (!pattern.isEmpty() && !text.contains("(" + pattern + ")")) text += " (" + pattern + ")";
  return text + ";;All Files (*)";
}

// Keeps the window responsive and offers Cancel while a computation runs on the user
// interface thread. Events are processed at most every 40 ms to keep the cost small.
// The text is the command's title with the current stage under it.
class ProgressFeedback : public Feedback {
 public:
  ProgressFeedback(QWidget* parent, const std::string& title)
      : title_(QString::fromStdString(title)), dialog_(title_, "Cancel", 0, 1000, parent) {
    dialog_.setWindowTitle(kTitle);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumWidth(320);
    dialog_.setValue(0);  // starts the clock that shows the dialog when the run lasts
    timer_.start();
  }
  void SetProgress(double fraction) override {
    const int value = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 1000);
    if (timer_.elapsed() < kInterval) return;
    timer_.restart();
    dialog_.setValue(value);
    QApplication::processEvents();
  }
  void SetStage(const std::string& text) override {
    dialog_.setLabelText(title_ + "\n" + QString::fromStdString(text));
    // The bar starts over with each stage; at 1, not at the minimum, which would
    // restart the clock that shows the dialog.
    dialog_.setValue(1);
    timer_.restart();
    QApplication::processEvents();
  }
  void Tick() override {
    if (timer_.elapsed() < kInterval) return;
    timer_.restart();
    QApplication::processEvents();
  }
  bool IsCanceled() const override { return dialog_.wasCanceled(); }

 private:
  static constexpr int kInterval = 40;  // ms
  QString title_;
  QProgressDialog dialog_;
  QElapsedTimer timer_;
};

}  // namespace

void QtUserInterface::Message(const std::string& text) {
  ShowInformation(parent_, kTitle, QString::fromStdString(text));
}

bool QtUserInterface::Question(const std::string& text) {
  return AskYesNo(parent_, kTitle, QString::fromStdString(text));
}

std::optional<std::string> QtUserInterface::OpenFileName(const std::string& initialName, const FileFilter& filter) {
  const QString name =
      QFileDialog::getOpenFileName(parent_, "Open", QString::fromStdString(initialName), FilterText(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<std::string> QtUserInterface::SaveFileName(const std::string& initialName, const FileFilter& filter) {
  // The dialog adds the suffix itself, so that it asks before replacing "name.snp".
  QFileDialog dialog(parent_, "Save As", QString::fromStdString(initialName), FilterText(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const std::string extension = DefaultExtension(filter);
  if (!extension.empty()) dialog.setDefaultSuffix(QString::fromStdString(extension.substr(1)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString name = dialog.selectedFiles().first();
  if (name.isEmpty()) return std::nullopt;
  return WithDefaultExtension(name.toStdString(), filter);
}

bool QtUserInterface::RunDialog(DialogData& dialog) {
  ParameterDialog window(dialog, parent_);
  return window.exec() == QDialog::Accepted;
}

std::unique_ptr<Feedback> QtUserInterface::BeginProgress(const std::string& title) {
  return std::make_unique<ProgressFeedback>(parent_, title);
}

std::optional<std::vector<int>> QtUserInterface::ChooseRowsToDelete(const RowTable& table) {
  return ShowRowTable(table, parent_);
}

}  // namespace gridora
