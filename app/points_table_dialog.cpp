#include "points_table_dialog.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

namespace gridora {
namespace {

// Rows in the shown order (`order_`: shown row -> table row); cells asked for as shown.
class RowTableModel : public QAbstractTableModel {
 public:
  explicit RowTableModel(const RowTable& table) : table_(table), order_(static_cast<std::size_t>(table.rowCount)) {
    std::iota(order_.begin(), order_.end(), 0);
  }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : table_.rowCount; }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(table_.text(RowAt(index.row()), index.column()));
    if (role == Qt::TextAlignmentRole && table_.number && table_.number(0, index.column()))
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < static_cast<int>(table_.columns.size()))
      return QString::fromStdString(table_.columns[static_cast<std::size_t>(section)]);
    return {};
  }

  void sort(int column, Qt::SortOrder order) override {
    emit layoutAboutToBeChanged();
    const bool numeric = table_.number && table_.rowCount > 0 && table_.number(0, column).has_value();
    auto before = [&](int a, int b) {
      if (numeric) return *table_.number(a, column) < *table_.number(b, column);
      return QString::fromStdString(table_.text(a, column))
                 .localeAwareCompare(QString::fromStdString(table_.text(b, column))) < 0;
    };
    std::stable_sort(order_.begin(), order_.end(),
                     [&](int a, int b) { return order == Qt::AscendingOrder ? before(a, b) : before(b, a); });
    emit layoutChanged();
  }

  int RowAt(int shown) const { return order_[static_cast<std::size_t>(shown)]; }

 private:
  const RowTable& table_;
  std::vector<int> order_;
};

}  // namespace

std::optional<std::vector<int>> ShowRowTable(const RowTable& table, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(table.title));
  dialog.resize(640, 480);
  auto* layout = new QVBoxLayout(&dialog);
  auto* hint = new QLabel(
      QString("%1 points. Click a column title to sort; select rows and press Delete selected.").arg(table.rowCount));
  layout->addWidget(hint);
  RowTableModel model(table);
  auto* view = new QTableView;
  view->setObjectName("pointsTable");
  view->setModel(&model);
  view->setSortingEnabled(true);
  view->sortByColumn(0, Qt::AscendingOrder);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(view);
  auto* buttons = new QDialogButtonBox;
  QPushButton* remove = buttons->addButton("&Delete selected", QDialogButtonBox::DestructiveRole);
  remove->setToolTip("Deletes the selected points (Edit > Undo takes it back)");
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  layout->addWidget(buttons);
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(remove, &QPushButton::clicked, &dialog, &QDialog::accept);
  remove->setEnabled(false);
  QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, &dialog,
                   [&] { remove->setEnabled(view->selectionModel()->hasSelection()); });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.push_back(model.RowAt(index.row()));
  return rows;
}

}  // namespace gridora
