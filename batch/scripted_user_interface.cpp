#include "batch/scripted_user_interface.h"

#include <ostream>

#include "platform/default_extension.h"
#include "batch/quiet_feedback.h"

namespace gridora {

ScriptedUserInterface::ScriptedUserInterface(std::ostream& out) : out_(out) {}

void ScriptedUserInterface::Message(const std::string& text) { out_ << text << '\n' << std::flush; }

bool ScriptedUserInterface::Question(const std::string& text) {
  out_ << text << '\n' << std::flush;
  const std::string* answer = line_ ? line_->Key("answer") : nullptr;
  if (!answer || *answer == "yes") return true;
  if (*answer == "no") return false;
  throw BatchStop("answer must be yes or no, not '" + *answer + "'");
}

std::optional<std::string> ScriptedUserInterface::FileArgument() {
  if (!line_ || line_->argument.empty()) throw BatchStop("this command needs a file argument");
  return line_->argument;
}

std::optional<std::string> ScriptedUserInterface::OpenFileName(const std::string&, const FileFilter&) {
  return FileArgument();
}

std::optional<std::string> ScriptedUserInterface::SaveFileName(const std::string&, const FileFilter& filter) {
  return WithDefaultExtension(*FileArgument(), filter);
}

bool ScriptedUserInterface::RunDialog(DialogData& dialog) {
  dialog.OnInitDialog();
  if (line_) {
    if (const std::string* cancel = line_->Key("cancel")) {
      if (*cancel == "yes") return false;
      if (*cancel != "no") throw BatchStop("cancel must be yes or no, not '" + *cancel + "'");
    }
  }
  // As if the user pressed OK at once: every field's shown text goes back through its
  // conversion, with the script's value where a key gives one.
  for (const DialogField& field : dialog.Fields()) {
    std::string text = FormatFieldValue(field);
    if (field.batchDefault && !(line_ && !field.batchKey.empty() && line_->Key(field.batchKey)))
      text = *field.batchDefault;
    if (line_ && !field.batchKey.empty()) {
      if (const std::string* value = line_->Key(field.batchKey)) {
        text = *value;
        // A radio group takes its choice by the script's word for it.
        for (std::size_t i = 0; i < field.batchChoices.size(); ++i)
          if (*value == field.batchChoices[i]) text = std::to_string(i);
      }
    }
    if (auto problem = ParseFieldValue(field, text)) {
      Message(*problem);
      throw BatchStop("'" + text + "' refused by the dialog \"" + dialog.Title() + "\"");
    }
  }
  // The window would keep the dialog open; a script cannot answer again.
  if (auto problem = dialog.Validate()) {
    Message(*problem);
    throw BatchStop("values refused by the dialog \"" + dialog.Title() + "\"");
  }
  return true;
}

std::unique_ptr<Feedback> ScriptedUserInterface::BeginProgress(const std::string&) {
  return std::make_unique<QuietFeedback>();
}

}  // namespace gridora
