#include "render/legend_layout.h"

#include <algorithm>
#include <cmath>

namespace gridora {
namespace {

constexpr int kBoxWidth = 40;
constexpr int kLabelGap = 10;
constexpr int kLabelHeight = 35;
constexpr int kTitleHeight = 40;
constexpr int kSmallestText = 12;
constexpr int kViewMargin = 20;
constexpr int kMaximumTitleLines = 4;

// UTF-8 characters of `text` (continuation bytes do not count).
int Characters(const std::string& text) {
  int count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

// The first `count` characters of UTF-8 text (never a broken character).
std::string FirstCharacters(const std::string& text, int count) {
  std::size_t end = 0;
  for (int taken = 0; end < text.size() && taken < count; ++taken) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

// The plain legend: the map's height in `rows` rows, a label on every row, every
// second or every fourth as the rows get thin.
LegendLayout PlainLayout(const LegendInput& in) {
  LegendLayout out;
  const int boxes = static_cast<int>(in.labels.size());
  const int stepH = in.height / std::max(in.rows, 1);
  const int labelStep = stepH < 25 ? 4 : (stepH < 50 ? 2 : 1);
  const int x1 = in.left, x2 = in.left + kBoxWidth;
  for (int i = 0; i < boxes; ++i) {
    const int y1 = i * stepH + in.bottom;
    const int y2 = (i + 1) * stepH + in.bottom;
    out.boxes.push_back({x1, y1, x2, y2});
    LegendText label{x2 + kLabelGap, (y1 + y2) / 2 + 30, kLabelHeight, {}};
    if (i != boxes - 1 && i % labelStep == 0) label.text = in.labels[static_cast<std::size_t>(i)];
    out.labels.push_back(std::move(label));
  }
  out.right = x2 + 100;
  return out;
}

int WidestLabel(const LegendInput& in, int height) {
  int widest = 0;
  for (const std::string& label : in.labels) widest = std::max(widest, EstimatedTextWidth(label, height));
  return widest;
}

bool PlainFits(const LegendInput& in) {
  if (!in.hasView) return true;
  const int right = in.left + kBoxWidth + kLabelGap + WidestLabel(in, kLabelHeight);
  return right <= in.viewRight && in.bottom >= in.viewBottom && in.bottom + in.height <= in.viewTop;
}

}  // namespace

int EstimatedTextWidth(const std::string& text, int height) {
  return static_cast<int>(std::ceil(0.6 * height * Characters(text)));
}

std::vector<std::string> WrapText(const std::string& text, int height, int maxWidth, int maxLines) {
  const int perLine = std::max(1, static_cast<int>(maxWidth / std::max(0.6 * height, 1.0)));
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));

  std::vector<std::string> lines;
  std::string line;
  bool cut = false;
  auto flush = [&] {
    if (line.empty()) return;
    if (static_cast<int>(lines.size()) == maxLines) {
      cut = true;
    } else {
      lines.push_back(line);
    }
    line.clear();
  };
  for (std::string w : words) {
    while (Characters(w) > perLine) {  // a word longer than a line is cut
      flush();
      line = FirstCharacters(w, perLine);
      w = w.substr(line.size());
      flush();
    }
    if (line.empty()) {
      line = w;
    } else if (Characters(line) + 1 + Characters(w) <= perLine) {
      line += ' ' + w;
    } else {
      flush();
      line = w;
    }
  }
  flush();
  if (cut && !lines.empty()) {
    std::string& last = lines.back();
    last = FirstCharacters(last, std::max(perLine - 3, 0)) + "...";
    if (Characters(last) > perLine) last = FirstCharacters(last, perLine);
  }
  return lines;
}

LegendLayout LayOutLegend(const LegendInput& in) {
  if (in.title.empty() && in.units.empty() && PlainFits(in)) return PlainLayout(in);

  LegendLayout out;
  out.fitted = true;
  const int boxes = static_cast<int>(in.labels.size());

  // The span the legend may take: the map's height, inside the view.
  int low = in.bottom, high = in.bottom + in.height;
  if (in.hasView) {
    low = std::max(low, in.viewBottom + kViewMargin);
    high = std::min(high, in.viewTop - kViewMargin);
    if (high - low < 200) {  // the map is mostly out of sight: use the view's height
      low = in.viewBottom + kViewMargin;
      high = in.viewTop - kViewMargin;
    }
  }
  const int span = std::max(high - low, 1);

  // Text heights: shrunk together when the view is narrower than the column.
  int labelHeight = kLabelHeight, titleHeight = kTitleHeight;
  const int columnWidth = std::max(kBoxWidth + kLabelGap + WidestLabel(in, kLabelHeight), 400);
  int available = columnWidth;
  if (in.hasView) available = std::max(in.viewRight - in.viewLeft - 2 * kViewMargin, 1);
  int width = std::min(columnWidth, available);
  if (columnWidth > available) {
    const double f = static_cast<double>(available) / columnWidth;
    labelHeight = std::max(kSmallestText, static_cast<int>(kLabelHeight * f));
    titleHeight = std::max(kSmallestText, static_cast<int>(kTitleHeight * f));
  }
  const int boxWidth = std::min(kBoxWidth, std::max(width / 4, 4));
  // Labels that do not fit beside the box are cut to the width left.
  const int labelRoom = std::max(width - boxWidth - kLabelGap, 0);

  // Title lines and units; at most a third of the height.
  const int lineH = titleHeight + titleHeight / 4;
  const int maxLines = std::clamp(span / 3 / std::max(lineH, 1), 0, kMaximumTitleLines);
  // The units keep a line of their own: the title takes the others.
  const int titleLines = in.units.empty() ? maxLines : maxLines - 1;
  std::vector<std::string> lines;
  if (titleLines > 0) lines = WrapText(in.title, titleHeight, width, titleLines);
  std::string units;
  if (!in.units.empty() && maxLines > 0) {
    const std::vector<std::string> u = WrapText("(" + in.units + ")", labelHeight, width, 1);
    if (!u.empty()) units = u.front();
  }

  // Horizontal place: right of the map unless that passes the view's right edge.
  int x1 = in.left;
  if (in.hasView && x1 + width > in.viewRight - kViewMargin) {
    x1 = std::max(in.viewLeft + kViewMargin, in.viewRight - kViewMargin - width);
    out.panel = true;
  }

  int y = high;
  for (const std::string& line : lines) {
    out.titles.push_back({x1, y, titleHeight, line});
    y -= lineH;
  }
  if (!units.empty()) {
    out.titles.push_back({x1, y, labelHeight, units});
    y -= labelHeight + labelHeight / 4;
  }
  if (!out.titles.empty()) y -= 10;

  const int boxesTop = std::max(y, low + 1);
  const double stepH = static_cast<double>(boxesTop - low) / std::max(boxes, 1);
  // A label every `labelStep` boxes, so that labels are one text height apart at least.
  const int labelStep = std::max(1, static_cast<int>(std::ceil((labelHeight + 5) / std::max(stepH, 0.001))));
  const int x2 = x1 + boxWidth;
  for (int i = 0; i < boxes; ++i) {
    const int y1 = low + static_cast<int>(std::lround(i * stepH));
    const int y2 = low + static_cast<int>(std::lround((i + 1) * stepH));
    out.boxes.push_back({x1, y1, x2, y2});
    // A label's top sits half its height above the box's upper edge it names.
    LegendText label{x2 + kLabelGap, y2 + labelHeight / 2, labelHeight, {}};
    // A label that would reach past the legend's span is left out.
    if (i != boxes - 1 && (i + 1) % labelStep == 0 && label.y <= high && label.y - labelHeight >= low) {
      std::string text = in.labels[static_cast<std::size_t>(i)];
      const int fits = static_cast<int>(labelRoom / (0.6 * labelHeight));
      if (Characters(text) > fits) text = FirstCharacters(text, fits);
      label.text = std::move(text);
    }
    out.labels.push_back(std::move(label));
  }
  if (out.panel) out.panelRect = {x1 - 10, low - 10, x1 + width + 10, high + 10};
  out.right = x2 + 100;
  return out;
}

}  // namespace gridora
