#pragma once
// The data side of a modal parameter dialog. Each dialog class lists its fields (the
// members it exchanges, with the control id, label and state of each); the window
// builds a form from that list and the batch mode fills it from script keys. Both
// use the same conversions, so a value behaves the same wherever it is typed.
#include <optional>
#include <string>
#include <vector>

namespace gridora {

enum class FieldKind {
  Float,   // shown with the shortest text that reads back as the member
           // (FormatRoundTrip); "Enter a number." on failure
  Double,  // the same for a double member
  Int,     // "%d"; "Enter an integer." on failure
  Text,    // exchanged unchanged
  Check,   // 0 or 1
  Radio,   // index of the selected choice
};

struct DialogField {
  int controlId = 0;
  std::string label;  // label text as the dialog shows it (may be empty)
  FieldKind kind = FieldKind::Text;
  void* member = nullptr;  // float*, double*, int* or std::string* by kind
  std::string batchKey;    // key of the batch script that sets it; empty: none
  bool readOnly = false;
  bool hidden = false;
  std::string group;                      // group box title, if any
  std::string unit;                       // text right of the field, if any
  std::string caption;                    // what the window shows beside a field that has no label
  std::vector<std::string> choices;       // radio buttons
  std::vector<std::string> batchChoices;  // the script's word for each radio button
  // The text a script's line gets when it does not give the key, where that differs
  // from what the window proposes (a proposal read from the file stays the window's).
  std::optional<std::string> batchDefault;
};

struct DialogButton {
  int controlId = 0;
  std::string label;
};

class DialogData {
 public:
  virtual ~DialogData() = default;
  virtual std::string Title() const = 0;
  virtual int ResourceId() const = 0;
  // The fields in exchange order; pointers refer to this object's members.
  virtual std::vector<DialogField> Fields() = 0;
  // Extra buttons beside OK and Cancel. Pressing one first reads every field into its
  // member (stopping at a conversion failure), then calls OnButton, then shows the
  // members again.
  virtual std::vector<DialogButton> Buttons() { return {}; }
  virtual void OnButton(int /*controlId*/) {}
  // Called before the dialog is shown, after the caller has filled the members.
  virtual void OnInitDialog() {}
  // Called on OK once every field has converted: a message refuses the values as a
  // whole, is shown, and keeps the dialog open for correction.
  virtual std::optional<std::string> Validate() const { return std::nullopt; }
  // True for a dialog whose read-only fields follow the fields being typed (the node
  // counts of the area dialog): the window then converts a field at each edit and, when
  // the text converts, calls OnFieldEdited and shows the read-only fields again. The
  // members of other dialogs change only on OK or a button.
  virtual bool UpdatesWhileTyping() const { return false; }
  virtual void OnFieldEdited(int /*controlId*/) {}
};

// The text a field shows for its member: for numbers the shortest that
// ParseFieldValue turns back into the same member, so OK without an edit (the window's
// dialog, or a batch line without the field's key) changes nothing.
std::string FormatFieldValue(const DialogField& field);

// Converts `text` into the field's member. On failure the member is unchanged and the
// result is the message the dialog shows ("Enter a number." / "Enter an integer.").
std::optional<std::string> ParseFieldValue(const DialogField& field, const std::string& text);

inline constexpr const char* kEnterNumber = "Enter a number.";
inline constexpr const char* kEnterInteger = "Enter an integer.";

}  // namespace gridora
