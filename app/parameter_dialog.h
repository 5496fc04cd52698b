#pragma once
// A modal dialog built from a dialog's field list: labels, group boxes, line edits,
// check boxes and radio groups, read-only and hidden states, and extra buttons such as
// the refresh button. OK converts every field; a field that refuses its text shows the message
// ("Enter a number." / "Enter an integer."), takes the focus and keeps the dialog open;
// so do values the dialog's data refuses as a whole (DialogData::Validate). Fields are
// wide enough for the longest number of their kind, read-only fields look it and never
// take the focus, and fields without a label show their caption.
#include <QDialog>
#include <vector>

#include "platform/dialog_data.h"

class QWidget;
class QLineEdit;
class QCheckBox;
class QButtonGroup;

namespace gridora {

class ParameterDialog : public QDialog {
 public:
  ParameterDialog(DialogData& data, QWidget* parent);

  void accept() override;

 private:
  struct Control {
    DialogField field;
    QLineEdit* edit = nullptr;
    QCheckBox* check = nullptr;
    QButtonGroup* radios = nullptr;
    QWidget* focus = nullptr;
  };

  void Build();
  void ShowMembers();
  // Converts every control into its member; false (after the message) on a refusal.
  bool ReadMembers();
  void OnExtraButton(int controlId);
  // A dialog that updates while typing: the typed field into its member (when it
  // converts), the dialog's reaction, the read-only fields shown again.
  void OnTyped(std::size_t index);
  // Shows why the values are refused; the dialog stays open with the user's input.
  void Refuse(const std::string& problem);

  DialogData& data_;
  std::vector<Control> controls_;
};

}  // namespace gridora
