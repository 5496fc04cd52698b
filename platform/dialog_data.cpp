#include "platform/dialog_data.h"

#include <fmt/printf.h>

#include "platform/number_text.h"

namespace gridora {

std::string FormatFieldValue(const DialogField& field) {
  switch (field.kind) {
    case FieldKind::Float: return FormatRoundTrip(*static_cast<float*>(field.member));
    case FieldKind::Double: return FormatRoundTrip(*static_cast<double*>(field.member));
    case FieldKind::Int:
    case FieldKind::Check:
    case FieldKind::Radio: return fmt::sprintf("%d", *static_cast<int*>(field.member));
    case FieldKind::Text: return *static_cast<std::string*>(field.member);
  }
  return {};
}

std::optional<std::string> ParseFieldValue(const DialogField& field, const std::string& text) {
  switch (field.kind) {
    case FieldKind::Float: {
      double value = 0.0;
      if (!ParseDouble(text, value)) return std::string(kEnterNumber);
      *static_cast<float*>(field.member) = static_cast<float>(value);
      return std::nullopt;
    }
    case FieldKind::Double: {
      double value = 0.0;
      if (!ParseDouble(text, value)) return std::string(kEnterNumber);
      *static_cast<double*>(field.member) = value;
      return std::nullopt;
    }
    case FieldKind::Int:
    case FieldKind::Check:
    case FieldKind::Radio: {
      int value = 0;
      if (!ParseInt(text, value)) return std::string(kEnterInteger);
      *static_cast<int*>(field.member) = value;
      return std::nullopt;
    }
    case FieldKind::Text: *static_cast<std::string*>(field.member) = text; return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace gridora
