#pragma once
// Builders for dialog field lists: one call per field, decorated by wrapping, e.g.
//   InGroup(MakeField(1001, "Start", FieldKind::Float, &xStart, "xstart"), "X axis")
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

inline DialogField MakeField(int id, std::string label, FieldKind kind, void* member, std::string key) {
  DialogField field;
  field.controlId = id;
  field.label = std::move(label);
  field.kind = kind;
  field.member = member;
  field.batchKey = std::move(key);
  return field;
}

inline DialogField ReadOnly(DialogField field) {
  field.readOnly = true;
  return field;
}

inline DialogField Hidden(DialogField field) {
  field.hidden = true;
  return field;
}

inline DialogField InGroup(DialogField field, std::string group) {
  field.group = std::move(group);
  return field;
}

inline DialogField WithUnit(DialogField field, std::string unit) {
  field.unit = std::move(unit);
  return field;
}

inline DialogField WithCaption(DialogField field, std::string caption) {
  field.caption = std::move(caption);
  return field;
}

// Radio buttons: the texts shown and the batch script's word for each.
inline DialogField WithChoices(DialogField field, std::vector<std::string> choices, std::vector<std::string> words) {
  field.choices = std::move(choices);
  field.batchChoices = std::move(words);
  return field;
}

inline DialogField RadioField(int id, std::string label, int* member, std::string key, std::vector<std::string> choices,
                              std::vector<std::string> words) {
  return WithChoices(MakeField(id, std::move(label), FieldKind::Radio, member, std::move(key)), std::move(choices),
                     std::move(words));
}

}  // namespace gridora
