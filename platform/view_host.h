#pragma once
// What the commands ask of the view and the frame around the document: repainting,
// the clipboard, printing and the frame's own services. The window implements it with
// widgets; the batch mode writes files instead.
#include <string>

namespace gridora {

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  // Invalidate the view's whole client area (erase and repaint).
  virtual void Invalidate() = 0;
  // The document asks its views to update (also repaints).
  virtual void UpdateAllViews() = 0;
  // Puts the drawing on the clipboard (batch: writes it to the command's file).
  virtual bool CopyDrawing() = 0;
  // Print dialog, then one page through the paint entry (batch: a PDF file).
  virtual bool Print() = 0;
  virtual bool PrintPreview() = 0;
  virtual bool PrintSetup() = 0;
  virtual void ShowAbout() = 0;
  virtual void Exit() = 0;
  // Toolbar and status bar visibility (View menu).
  virtual bool BarVisible(int /*commandId*/) const { return false; }
  virtual void ToggleBar(int /*commandId*/) {}
  // A file was opened or saved through the document: add it to the recent files.
  virtual void AddRecentFile(const std::string& /*path*/) {}
  virtual void SetTitle(const std::string& /*documentName*/) {}
  // Shows the whole map in the view (View > Fit to window); nothing without a view.
  virtual void FitToWindow() {}
  // Paints the view as the window would show it at the given client size in pixels,
  // into a .png, .svg or .pdf file. Returns false (having told the user) on failure.
  virtual bool RenderToFile(const std::string& /*path*/, int /*width*/, int /*height*/) { return false; }
  // Writes the map page (title, map, grid, legend, north arrow, scale bar) into a .pdf
  // or .png file. Returns false (having told the user) on failure.
  virtual bool ExportLayout(const std::string& /*path*/, const std::string& /*title*/) { return false; }
  // Opens the bundled user guide (Help > User guide); nothing without a window.
  virtual void ShowUserGuide() {}
};

}  // namespace gridora
