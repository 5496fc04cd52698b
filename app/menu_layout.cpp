#include "menu_layout.h"

#include <map>

#include "commands/command_ids.h"

namespace gridora {
namespace {

MenuItem Item(int id, std::string text) { return {MenuItem::Command, id, std::move(text), {}}; }
MenuItem Separator() { return {MenuItem::Separator, 0, {}, {}}; }
MenuItem Sub(std::string text, std::vector<MenuItem> children) {
  return {MenuItem::Submenu, 0, std::move(text), std::move(children)};
}
MenuItem Recent() { return {MenuItem::RecentFiles, ID_FILE_MRU_FILE1, "Recent File", {}}; }

}  // namespace

const std::vector<Menu>& MainMenus() {
  static const std::vector<Menu> menus = {
      {"&File",
       {Item(ID_FILE_NEW, "&New\tCtrl+N"),
        Item(ID_FILE_OPEN, "&Open (.snp or .csv)...\tCtrl+O"),
        Item(ID_FILE_SAVE, "&Save\tCtrl+S"),
        Item(ID_FILE_SAVE_AS, "Save &As..."),
        Separator(),
        Item(ID_OPEN_RANDOM_DATA, "Open space delimited random data (X,Y,Z)"),
        Item(ID_SAVE_STANDARD_XML, "Save standard XML file"),
        Item(ID_SAVE_CSV, "Save CSV file"),
        Separator(),
        Sub("Advanced options", {Item(ID_OPEN_PWRI, "Open PWRI grid data")}),
        Separator(),
        Item(ID_FILE_PRINT, "&Print...\tCtrl+P"),
        Item(ID_FILE_PRINT_SETUP, "P&rint Setup..."),
        Item(ID_FILE_PRINT_PREVIEW, "Print Pre&view"),
        Separator(),
        Recent(),
        Separator(),
        Item(ID_APP_EXIT, "E&xit"),
        Separator(),
        Item(ID_EXPORT_GRID, "Export grid..."),
        Item(ID_EXPORT_CONTOURS, "Export contours..."),
        Item(ID_OPEN_RASTER, "Open raster grid...")}},
      {"&View",
       {Item(ID_VIEW_TOOLBAR, "&Toolbar"),
        Item(ID_VIEW_STATUS_BAR, "&Status Bar"),
        Separator(),
        Item(ID_AXIS_SETUP, "Axis setup"),
        Item(ID_CONTOUR_SETUP, "Contour setup"),
        Item(ID_DEFAULT_CONTOUR, "Default contour"),
        Item(ID_COLOR_TARGET, "Color target"),
        Item(ID_LOG, "Log"),
        Separator(),
        Item(ID_CONTOUR, "Contour"),
        Separator(),
        Item(ID_SHOW_RANDOM_DATA, "Show random data"),
        Separator(),
        Item(ID_HIDE_FAR_NODES, "Hide grids away from points"),
        Item(ID_MAX_DISTANCE, "Set up maximum distance to be shown"),
        Separator(),
        Item(ID_PRIMARY_VARIABLE, "Primary variable"),
        Item(ID_SECONDARY_VARIABLE, "Secondary variable"),
        Item(ID_CROSS_VARIANCE, "Cross variance"),
        Separator(),
        Item(ID_BLANK_HULL, "Blank outside the data hull"),
        Item(ID_CONTOUR_LABELS, "Contour labels")}},
      {"&Edit",
       {Item(ID_EDIT_UNDO, "&Undo\tCtrl+Z"), Separator(), Item(ID_EDIT_CUT, "Cu&t\tCtrl+X"),
        Item(ID_EDIT_COPY, "&Copy\tCtrl+C"), Item(ID_EDIT_PASTE, "&Paste\tCtrl+V")}},
      {"Data",
       {Separator(), Item(ID_DATA_PROPERTY, "Property"), Separator(), Item(ID_STATISTICS, "Statistics"), Separator(),
        Item(ID_AVERAGE_X, "Average (X-direction)"), Separator(), Item(ID_IMPORT_TABLE, "Import table..."),
        Item(ID_MERGE_DUPLICATES, "Merge duplicates..."), Item(ID_BLOCK_REDUCE, "Block reduce...")}},
      {"Interpolation",
       {Item(ID_MINIMUM_CURVATURE, "Ninimum curvature"),
        Sub("Kriging", {Item(ID_VARIOGRAM, "Variogram"), Item(ID_PREDICTION, "Prediction"), Separator(),
                        Item(ID_SET_VARIOGRAM, "Set experimental variogram")}),
        Separator(), Item(ID_KRIGING_OPTIONS, "Kriging options"), Item(ID_CROSS_VALIDATION, "Cross-validation"),
        Item(ID_STANDARD_ERROR, "Standard error"), Item(ID_SURFACE_OPTIONS, "Minimum curvature options")}},
      {"&Help", {Item(ID_APP_ABOUT, "&About Gridora...")}},
  };
  return menus;
}

const std::vector<ToolbarButton>& ToolbarButtons() {
  static const std::vector<ToolbarButton> buttons = {
      {ID_DELETE_ALL, "delete_all", "Delete all data"},
      {ID_FILE_OPEN, "open", ""},
      {ID_FILE_SAVE, "save", ""},
      {0, "", ""},
      {ID_EDIT_CUT, "cut", ""},
      {ID_EDIT_COPY_STANDARD, "copy", ""},
      {ID_EDIT_PASTE, "paste", ""},
      {0, "", ""},
      {ID_FILE_PRINT, "print", ""},
      {ID_APP_ABOUT, "about", ""},
      {ID_ZOOM_X_OUT, "zoom_x_out", "Zoom out horizontally"},
      {ID_ZOOM_X_IN, "zoom_x_in", "Zoom in horizontally"},
      {ID_ZOOM_Y_IN, "zoom_y_in", "Zoom in vertically"},
      {ID_ZOOM_Y_OUT, "zoom_y_out", "Zoom out vertically"},
      {ID_COLOR_MODE_0, "color_mode_0", "Map colors node by node"},
      {ID_COLOR_MODE_1, "color_mode_1", "Map colors in contour bands"},
      {ID_COLOR_MODE_2, "color_mode_2", "Map colors in contour bands with contour lines"},
      {ID_PRIMARY_VARIABLE, "primary_variable", "Primary variable"},
      {ID_SECONDARY_VARIABLE, "secondary_variable", "Secondary variable"},
      {ID_CROSS_VARIANCE, "cross_variance", "Cross variance"},
  };
  return buttons;
}

const std::vector<Accelerator>& Accelerators() {
  static const std::vector<Accelerator> accelerators = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
      {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
      {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
      {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
      {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY_STANDARD},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY_STANDARD},
      {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
      {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
      {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
      {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
      {QKeySequence(Qt::CTRL | Qt::Key_A), ID_AXIS_SETUP},
  };
  return accelerators;
}

std::string StandardPrompt(int id) {
  static const std::map<int, std::string> prompts = {
      {ID_FILE_NEW, "Create a new document\nNew"},
      {ID_FILE_OPEN, "Open an existing document\nOpen"},
      {ID_FILE_SAVE, "Save the active document\nSave"},
      {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
      {ID_FILE_PRINT, "Print the active document\nPrint"},
      {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
      {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
      {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
      {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
      {ID_EDIT_UNDO, "Undo the last action\nUndo"},
      {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
      {ID_EDIT_COPY_STANDARD, "Copy the selection and put it on the Clipboard\nCopy"},
      {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
      {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
      {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
      {ID_FILE_MRU_FILE1, "Open this document"},
  };
  auto found = prompts.find(id);
  return found == prompts.end() ? std::string() : found->second;
}

}  // namespace gridora
