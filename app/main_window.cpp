#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "about_dialog.h"
#include "app_icons.h"
#include "commands/command_ids.h"
#include "commands/file_commands.h"
#include "commands/menu_layout.h"
#include "drawing_export.h"
#include "history/history_commands.h"
#include "map_view.h"
#include "menus/command_catalogue.h"
#include "message_box.h"
#include "painter_context.h"
#include "platform/diagnostic_file.h"
#include "platform/profile.h"
#include "qt_user_interface.h"
#include "user_guide_window.h"
#include "view/document.h"
#include "view/print_layout.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

constexpr int kRecentFileCount = 4;
const char* kRecentSection = "Recent File List";

}  // namespace

MainWindow::MainWindow(Document& doc, Profile& profile, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      profile_(profile),
      ui_(std::make_unique<QtUserInterface>(this)),
      table_(BuildCommandTable()),
      context_{doc, *ui_, *this, profile} {
  RestorePlacement();
  setWindowIcon(AppIcon());
  view_ = new MapView(doc_, context_, this);
  setCentralWidget(view_);
  BuildMenus();
  BuildToolbar();
  BuildAccelerators();
  BuildStatusBar();
  SetTitle("");
  setAcceptDrops(true);
  // Large diagnostic files are written with a progress and a Cancel, never freezing the
  // window (platform/diagnostic_file.h).
  SetDiagnosticProgressMaker([this](const std::string& title) { return ui_->BeginProgress(title); });

  // The toolbar's update rules run while the program idles.
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &MainWindow::UpdateCommandStates);
  idle->start(250);
  UpdateCommandStates();
}

MainWindow::~MainWindow() { SetDiagnosticProgressMaker({}); }

void MainWindow::RestorePlacement() {
  const int x = std::clamp(ReadProfileInt(profile_, "WindowX", 0), 0, 200);
  const int y = std::clamp(ReadProfileInt(profile_, "WindowY", 0), 0, 200);
  const int w = std::clamp(ReadProfileInt(profile_, "WindowW", 810), 768, 2000);
  const int h = std::clamp(ReadProfileInt(profile_, "WindowH", 580), 537, 2000);
  move(x, y);
  resize(w, h);
}

// The same rectangle that RestorePlacement gives back: move() places the frame's
// corner (pos()), resize() sets the size inside the frame (size()). Saving the frame's
// size would make the window grow by its title bar at every start.
void MainWindow::SavePlacement() {
  WriteProfileInt(profile_, "WindowX", x());
  WriteProfileInt(profile_, "WindowY", y());
  WriteProfileInt(profile_, "WindowW", width());
  WriteProfileInt(profile_, "WindowH", height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!MaySaveChanges()) {
    event->ignore();
    return;
  }
  SavePlacement();
  event->accept();
}

bool MainWindow::MaySaveChanges() {
  if (!doc_.modified) return true;
  QMessageBox box(QMessageBox::Question, "Gridora", "Save changes?",
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Yes);
  FitTitle(box);
  switch (box.exec()) {
    case QMessageBox::Yes: {
      // The document's own name, or Save As for one that has none.
      const bool saved = table_.Execute(ID_FILE_SAVE, context_) == CommandStatus::Done;
      UpdateCommandStates();
      return saved && !doc_.modified;
    }
    case QMessageBox::No: return true;
    default: return false;
  }
}

QAction* MainWindow::MakeAction(int id, const std::string& text) {
  auto found = actions_.find(id);
  if (found != actions_.end()) return found->second;
  auto* action = new QAction(QString::fromStdString(text), this);
  action->setData(id);
  const std::string prompt = Prompt(id);
  if (!prompt.empty()) {
    const auto newline = prompt.find('\n');
    action->setStatusTip(QString::fromStdString(prompt.substr(0, newline)));
    if (newline != std::string::npos) action->setToolTip(QString::fromStdString(prompt.substr(newline + 1)));
  } else {
    action->setToolTip(QString());
  }
  action->setCheckable(table_.IsCheckable(id));
  connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  actions_[id] = action;
  return action;
}

std::string MainWindow::Prompt(int id) const {
  const CommandEntry* entry = table_.Find(id);
  return entry ? entry->prompt : std::string();
}

QAction* MainWindow::Action(int id) const {
  auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::FillMenu(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Separator: menu->addSeparator(); break;
      case MenuItem::Submenu: {
        QMenu* sub = menu->addMenu(QString::fromStdString(item.text));
        FillMenu(sub, item.children);
        connect(sub, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
        break;
      }
      case MenuItem::RecentFiles:
        recentMenu_ = menu;
        recentPlaceholder_ = item.text;
        recentAnchor_ = menu->addSeparator();
        recentAnchor_->setVisible(false);
        break;
      case MenuItem::Command: menu->addAction(MakeAction(item.id, item.text)); break;
    }
  }
}

void MainWindow::BuildMenus() {
  std::vector<QMenu*> withoutMnemonic;
  QString taken;  // the menus' Alt letters
  for (const Menu& description : MenuBar(table_)) {
    const QString title = QString::fromStdString(description.title);
    QMenu* menu = menuBar()->addMenu(title);
    FillMenu(menu, description.items);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
    const qsizetype amp = title.indexOf('&');
    if (amp >= 0 && amp + 1 < title.size())
      taken += title[amp + 1].toLower();
    else
      withoutMnemonic.push_back(menu);
  }
  // Menus whose titles carry no Alt letter (their texts are kept as they always were)
  // open with Alt and the first letter of their title that no other menu uses.
  for (QMenu* menu : withoutMnemonic) {
    for (const QChar letter : menu->title()) {
      if (!letter.isLetter() || taken.contains(letter.toLower())) continue;
      taken += letter.toLower();
      auto* open = new QAction(this);
      open->setShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(letter.toUpper().unicode())));
      open->setShortcutContext(Qt::WindowShortcut);
      connect(open, &QAction::triggered, this, [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
      addAction(open);
      menuShortcuts_.push_back(open);
      break;
    }
  }
  RebuildRecentFiles();
}

void MainWindow::BuildToolbar() {
  toolbar_ = addToolBar("Toolbar");
  toolbar_->setObjectName("Toolbar");
  toolbar_->setIconSize(QSize(17, 17));
  toolbar_->setMovable(true);
  toolbar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (const ToolbarButton& button : Toolbar(table_)) {
    if (button.id == 0) {
      toolbar_->addSeparator();
      continue;
    }
    QAction* action = MakeAction(button.id, button.tip);
    action->setIcon(ToolbarIcon(button.icon));
    action->setIconVisibleInMenu(false);  // menu items keep their check marks only
    // The button's tooltip says what it does: its short name, then the status prompt.
    const std::string prompt = Prompt(button.id);
    if (prompt.empty()) {
      action->setToolTip(QString::fromStdString(button.tip));
      action->setStatusTip(QString::fromStdString(button.tip));
    } else {
      const auto newline = prompt.find('\n');
      const std::string name = newline == std::string::npos ? button.tip : prompt.substr(newline + 1);
      const std::string what = prompt.substr(0, newline);
      action->setToolTip(QString::fromStdString(name.empty() || name == what ? what : name + ": " + what));
    }
    toolbar_->addAction(action);
  }
}

void MainWindow::BuildAccelerators() {
  for (int id : table_.Ids()) {
    for (const std::string& keys : table_.Find(id)->shortcuts) {
      auto* action = new QAction(this);
      action->setShortcut(QKeySequence::fromString(QString::fromStdString(keys), QKeySequence::PortableText));
      action->setShortcutContext(Qt::WindowShortcut);
      action->setData(id);
      connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
      addAction(action);
      acceleratorActions_.push_back(action);
    }
  }
}

void MainWindow::BuildStatusBar() {
  statusBar()->showMessage("Ready");
  readout_ = new QLabel(this);
  readout_->setObjectName("Readout");
  statusBar()->addPermanentWidget(readout_);
  view_->readout = [this](const QString& text) { readout_->setText(text); };
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(indicator, this);
    label->setEnabled(false);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(label);
  }
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
    if (text.isEmpty()) statusBar()->showMessage("Ready");
  });
}

void MainWindow::UpdateCommandStates() {
  RefreshTitle();
  for (auto& [id, action] : actions_) {
    const CommandState state = table_.State(id, context_);
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
  for (QAction* action : acceleratorActions_)
    action->setEnabled(table_.State(action->data().toInt(), context_).enabled);
}

namespace {

// What a new import or gridding changes: the view then fits the new data.
struct DataExtent {
  NodeLayout layout;
  int points = 0;
  double xMinimum = 0, xMaximum = 0, yMinimum = 0, yMaximum = 0;

  explicit DataExtent(const Document& doc) {
    if (doc.grid) layout = doc.grid->Layout();
    if (doc.primaryData) {
      const RandomData& p = *doc.primaryData;
      points = p.count;
      xMinimum = p.xMinimum;
      xMaximum = p.xMaximum;
      yMinimum = p.yMinimum;
      yMaximum = p.yMaximum;
    }
  }
  bool operator==(const DataExtent& o) const {
    return layout.x0 == o.layout.x0 && layout.y0 == o.layout.y0 && layout.dx == o.layout.dx &&
           layout.dy == o.layout.dy && layout.nx == o.layout.nx && layout.ny == o.layout.ny && points == o.points &&
           xMinimum == o.xMinimum && xMaximum == o.xMaximum && yMinimum == o.yMinimum && yMaximum == o.yMaximum;
  }
};

}  // namespace

void MainWindow::RunCommand(int id) {
  if (!table_.IsEnabled(id, context_)) return;
  // Exit asks when the window closes.
  if ((id == ID_FILE_NEW || id == ID_FILE_OPEN) && !MaySaveChanges()) {
    UpdateCommandStates();
    return;
  }
  const DataExtent before(doc_);
  const CommandStatus status = table_.Execute(id, context_);
  if (status == CommandStatus::Done && !(DataExtent(doc_) == before)) FitToWindow();
  UpdateCommandStates();
}

void MainWindow::OpenFile(const std::string& path) {
  if (!MaySaveChanges()) return;
  if (OpenDocumentFile(context_, path) == CommandStatus::Done) {
    ForgetHistory(doc_);
    FitToWindow();
  }
  UpdateCommandStates();
}

void MainWindow::FitToWindow() { view_->FitToWindow(); }

void MainWindow::Invalidate() { view_->InvalidateDrawing(); }
void MainWindow::UpdateAllViews() { view_->InvalidateDrawing(); }

bool MainWindow::CopyDrawing() {
  const ClipboardDrawing copy = gridora::CopyDrawing(doc_);
  auto* mime = new QMimeData;
  mime->setData("image/svg+xml", copy.svg);
  if (!copy.image.isNull()) mime->setImageData(copy.image);
  QGuiApplication::clipboard()->setMimeData(mime);
  return true;
}

void MainWindow::PaintPage(QPrinter* printer) {
  // The map page: title, map with its coordinate grid, legend, north arrow, scale bar.
  QPainter painter(printer);
  const double pixelsPerUnit = printer->resolution() / 254.0;
  PainterContext dc(painter, pixelsPerUnit, pixelsPerUnit);
  const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
  DrawPrintLayout(dc, doc_, static_cast<int>(page.width() / pixelsPerUnit),
                  static_cast<int>(page.height() / pixelsPerUnit), LayoutTitle(doc_));
}

bool MainWindow::ExportLayout(const std::string& path, const std::string& title) {
  std::string problem;
  if (WriteLayoutFile(doc_, path, title, problem)) return true;
  ui_->Message(problem);
  return false;
}

void MainWindow::ShowUserGuide() { gridora::ShowUserGuide(this); }

bool MainWindow::Print() {
  QPrintDialog dialog(&printer_, this);
  if (dialog.exec() != QDialog::Accepted) return true;
  PaintPage(&printer_);
  return true;
}

bool MainWindow::PrintPreview() {
  QPrintPreviewDialog preview(&printer_, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { PaintPage(printer); });
  preview.exec();
  return true;
}

bool MainWindow::PrintSetup() {
  QPageSetupDialog dialog(&printer_, this);
  dialog.exec();
  return true;
}

void MainWindow::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

void MainWindow::Exit() { close(); }

bool MainWindow::BarVisible(int commandId) const {
  if (commandId == ID_VIEW_TOOLBAR) return toolbar_ && toolbar_->isVisible();
  if (commandId == ID_VIEW_STATUS_BAR) return statusBar()->isVisible();
  return false;
}

void MainWindow::ToggleBar(int commandId) {
  if (commandId == ID_VIEW_TOOLBAR) toolbar_->setVisible(!toolbar_->isVisible());
  if (commandId == ID_VIEW_STATUS_BAR) statusBar()->setVisible(!statusBar()->isVisible());
}

std::vector<std::string> MainWindow::RecentFiles() const {
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const std::string file = profile_.ReadText(kRecentSection, "File" + std::to_string(i), "");
    if (!file.empty()) files.push_back(file);
  }
  return files;
}

void MainWindow::AddRecentFile(const std::string& path) {
  std::vector<std::string> files = RecentFiles();
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  files.insert(files.begin(), path);
  if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
  for (int i = 0; i < kRecentFileCount; ++i) {
    profile_.WriteText(kRecentSection, "File" + std::to_string(i + 1),
                       i < static_cast<int>(files.size()) ? files[i] : std::string());
  }
  RebuildRecentFiles();
}

void MainWindow::RebuildRecentFiles() {
  if (!recentMenu_) return;
  for (QAction* action : recentActions_) {
    recentMenu_->removeAction(action);
    action->deleteLater();
  }
  recentActions_.clear();
  const std::vector<std::string> files = RecentFiles();
  int number = 1;
  for (const std::string& file : files) {
    auto* action = new QAction(QString("&%1 %2").arg(number).arg(QString::fromStdString(file)), this);
    action->setStatusTip("Open this document");
    connect(action, &QAction::triggered, this, [this, file] { OpenFile(file); });
    recentMenu_->insertAction(recentAnchor_, action);
    recentActions_.push_back(action);
    ++number;
  }
  if (files.empty()) {
    auto* placeholder = new QAction(QString::fromStdString(recentPlaceholder_), this);
    placeholder->setEnabled(false);
    recentMenu_->insertAction(recentAnchor_, placeholder);
    recentActions_.push_back(placeholder);
  }
}

void MainWindow::SetTitle(const std::string& documentName) {
  documentName_ = documentName;
  RefreshTitle();
}

// "name - Gridora", with a star after the name while there are unsaved changes.
void MainWindow::RefreshTitle() {
  const QString name =
      documentName_.empty() ? QString("Untitled") : QFileInfo(QString::fromStdString(documentName_)).fileName();
  const QString title = name + (doc_.modified ? "*" : "") + " - Gridora";
  if (windowTitle() != title) setWindowTitle(title);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  OpenFile(urls.front().toLocalFile().toStdString());
}

}  // namespace gridora
