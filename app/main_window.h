#pragma once
// The main window: menus, toolbar, shortcuts and status bar from the command table's
// declarations (commands/menu_layout.h), the view, the window placement kept in the
// profile, recent files, dropped files, printing and the clipboard. It is the view host
// of the commands.
#include <QMainWindow>
#include <QPrinter>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "platform/view_host.h"

class QAction;
class QMenu;
class QToolBar;
class QLabel;

namespace gridora {

class Document;
class MapView;
class Profile;
class QtUserInterface;

class MainWindow : public QMainWindow, public ViewHost {
 public:
  MainWindow(Document& doc, Profile& profile, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs a command as its menu item would (nothing when it is disabled).
  void RunCommand(int id);
  // Opens a file as File > Open does (command line, dropped files, recent files).
  void OpenFile(const std::string& path);
  // Enabled and checked states of every action, as the update rules say.
  void UpdateCommandStates();
  QAction* Action(int id) const;
  // The Alt shortcuts of the menus whose titles have no Alt letter.
  const std::vector<QAction*>& MenuShortcuts() const { return menuShortcuts_; }
  MapView* View() const { return view_; }
  CommandContext& Context() { return context_; }

  // ViewHost
  void Invalidate() override;
  void UpdateAllViews() override;
  bool CopyDrawing() override;
  bool Print() override;
  bool PrintPreview() override;
  bool PrintSetup() override;
  void ShowAbout() override;
  void Exit() override;
  bool BarVisible(int commandId) const override;
  void ToggleBar(int commandId) override;
  void AddRecentFile(const std::string& path) override;
  void SetTitle(const std::string& documentName) override;
  void FitToWindow() override;
  bool ExportLayout(const std::string& path, const std::string& title) override;
  void ShowUserGuide() override;

  // Before the document is replaced or the window closes: when the document has
  // unsaved changes, asks "Save changes?" (Yes saves, No goes on, Cancel stops). True
  // when the caller may go on.
  bool MaySaveChanges();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void RestorePlacement();
  void SavePlacement();
  QAction* MakeAction(int id, const std::string& text);
  // The declared "prompt\ntip" of a standard command; empty for the program's own.
  std::string Prompt(int id) const;
  void BuildMenus();
  void BuildToolbar();
  void BuildAccelerators();
  void BuildStatusBar();
  void FillMenu(QMenu* menu, const std::vector<struct MenuItem>& items);
  void RebuildRecentFiles();
  std::vector<std::string> RecentFiles() const;
  void PaintPage(QPrinter* printer);
  void RefreshTitle();

  Document& doc_;
  Profile& profile_;
  std::unique_ptr<QtUserInterface> ui_;
  CommandTable table_;
  CommandContext context_;
  MapView* view_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QAction* recentAnchor_ = nullptr;
  std::string recentPlaceholder_;  // shown while the list is empty
  std::vector<QAction*> recentActions_;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> acceleratorActions_;
  std::vector<QAction*> menuShortcuts_;  // Alt + letter of the menus without one in their titles
  QPrinter printer_;
  std::string documentName_;
  QLabel* readout_ = nullptr;  // x, y, value and standard error under the cursor
};

}  // namespace gridora
