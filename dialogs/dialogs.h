#pragma once
// The data side of every parameter dialog: members, their controls and labels, and the
// dialogs' own behaviour. The window shows them through a generic form; the batch mode
// fills them from script keys.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

// "Axis setup" (134): display window and titles.
class AxisDialog : public DialogData {
 public:
  float xStart = 0, xEnd = 0, xInterval = 0;
  float yStart = 0, yEnd = 0, yInterval = 0;
  std::string xTitle, yTitle;

  std::string Title() const override { return "Axis setup"; }
  int ResourceId() const override { return 134; }
  std::vector<DialogField> Fields() override;
  // Finite ends, intervals greater than 0 and at most kMostAxisTicks ticks per axis.
  std::optional<std::string> Validate() const override;

  static constexpr int kMostAxisTicks = 1000;
};

// "Contour setup" (135).
class ContourSetupDialog : public DialogData {
 public:
  float minimum = 0, maximum = 0, interval = 0;

  std::string Title() const override { return "Contour setup"; }
  int ResourceId() const override { return 135; }
  std::vector<DialogField> Fields() override;
  // An interval of 0 or less, or a maximum below the minimum, gives no levels.
  std::optional<std::string> Validate() const override;
};

// What a caller accepts for one value of a "Float data" dialog: a message refuses it.
using FloatRule = std::function<std::optional<std::string>(float value)>;

// "Float data" (138): one prompt, one value. The caller may reuse it with a new prompt;
// valueKey names the batch key of the value, and rule (if any) what it accepts.
class FloatDialog : public DialogData {
 public:
  std::string prompt;
  float value = 0.0f;
  std::string valueKey = "value";
  FloatRule rule;

  std::string Title() const override { return "Float data"; }
  int ResourceId() const override { return 138; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

// "Float data" (143): two prompts, two values.
class TwoFloatsDialog : public DialogData {
 public:
  std::string prompt1;
  float value1 = 0.0f;
  std::string prompt2;
  float value2 = 0.0f;
  std::string key1 = "value1", key2 = "value2";
  FloatRule rule1, rule2;

  std::string Title() const override { return "Float data"; }
  int ResourceId() const override { return 143; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

// "Grid size" (133): NX and NY read-only; the grid's spacing and origin in double.
class GridSizeDialog : public DialogData {
 public:
  int nx = 0, ny = 0;
  double dx = 0, dy = 0, xStart = 0, yStart = 0;

  std::string Title() const override { return "Grid size"; }
  int ResourceId() const override { return 133; }
  std::vector<DialogField> Fields() override;
  // DX and DY greater than 0, finite starts.
  std::optional<std::string> Validate() const override;
};

// "Import option" (139): how a CSV table becomes a grid.
class CsvImportDialog : public DialogData {
 public:
  int ncols = 0;
  int colSkip = 0;
  int columnLabels = 0;
  int nrows = 0;
  int rowSkip = 0;
  int rowLabels = 0;
  int transpose = 0;

  std::string Title() const override { return "Import option"; }
  int ResourceId() const override { return 139; }
  std::vector<DialogField> Fields() override;
  // The skips must leave at least one column and one row of values.
  std::optional<std::string> Validate() const override;
};

// "Import selection" (151).
class ImportSelectionDialog : public DialogData {
 public:
  int selection = 0;  // 0 new file, 1 append, 2 secondary variable

  std::string Title() const override { return "Import selection"; }
  int ResourceId() const override { return 151; }
  std::vector<DialogField> Fields() override;
};

// "Area for interpolation" (130). In mode 1 only DX and DY can be edited, and the
// refresh button recomputes the node counts from them. The spacing is the grid's, in
// double; the counts come from it in single precision, as they always have.
class GridSpacingDialog : public DialogData {
 public:
  static constexpr int kRefreshButton = 3;

  int mode = 0;
  float W = 0, H = 0;
  int nx = 0, ny = 0, nz = 0;
  double dx = 0, dy = 0;
  float dz = 0;
  std::uint64_t mostNodes = 0;  // the most nodes a grid may hold; 0: no limit
  // What the caller refuses of a spacing before OK (the memory a grid of that spacing
  // needs), checked after the dialog's own rules; empty: nothing more.
  std::function<std::optional<std::string>(double dx, double dy)> layoutCheck;
  // Why the spacing as typed would be refused, shown in the dialog as it is typed;
  // empty while it would be taken.
  std::string notice;

  std::string Title() const override { return "Area for interpolation"; }
  int ResourceId() const override { return 130; }
  std::vector<DialogField> Fields() override;
  std::vector<DialogButton> Buttons() override;
  void OnButton(int controlId) override;
  // DX and DY greater than 0 whose node counts over W and H stay within mostNodes.
  std::optional<std::string> Validate() const override;

  // Node counts from the extents and spacings (the refresh button's rule), and the
  // notice.
  void Refresh();
  // The counts and the notice follow DX and DY as they are typed.
  bool UpdatesWhileTyping() const override { return true; }
  void OnFieldEdited(int controlId) override;
};

// "Origin for interpolation" (131).
class GridOriginDialog : public DialogData {
 public:
  double xMinimum = 0, yMinimum = 0;
  float maxData = 0;
  double xMaximum = 0, yMaximum = 0;

  std::string Title() const override { return "Origin for interpolation"; }
  int ResourceId() const override { return 131; }
  std::vector<DialogField> Fields() override;
  // Finite corners whose area (in single precision, as the grid holds it) is not empty.
  std::optional<std::string> Validate() const override;
};

// Node count along one axis for extent w and spacing d (d > 0).
int NodeCountForExtent(float w, float d);

}  // namespace gridora
