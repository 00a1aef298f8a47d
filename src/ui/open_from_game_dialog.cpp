#include "ui/open_from_game_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/commands/file_open_game.h"

namespace pelt {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QTableWidget* modelTable(const OpenFromGameValues& values, QWidget* parent) {
  auto* table = new QTableWidget(static_cast<int>(values.models.size()), 2, parent);
  table->setObjectName("gameModels");
  table->setHorizontalHeaderLabels({"Model", "From"});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int r = 0; r < table->rowCount(); ++r) {
    const GameModelRow& row = values.models[static_cast<size_t>(r)];
    table->setItem(r, 0, new QTableWidgetItem(qs(row.name)));
    table->setItem(r, 1, new QTableWidgetItem(qs(row.source)));
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  return table;
}

}  // namespace

bool runOpenFromGameDialog(QWidget* parent, OpenFromGameValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Open From Game");
  auto* layout = new QVBoxLayout(&dialog);
  auto* filter = new QLineEdit(qs(values.filter), &dialog);
  filter->setObjectName("gameModelFilter");
  filter->setPlaceholderText("Filter");
  filter->setClearButtonEnabled(true);
  QTableWidget* table = modelTable(values, &dialog);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
  QPushButton* open = buttons->button(QDialogButtonBox::Open);
  open->setDefault(true);
  layout->addWidget(filter);
  layout->addWidget(table);
  layout->addWidget(buttons);

  auto selectedRow = [table] {
    const QList<QTableWidgetItem*> items = table->selectedItems();
    return items.isEmpty() || table->isRowHidden(items.front()->row()) ? -1 : items.front()->row();
  };
  // The first row left shown is chosen, so typing and Enter open it.
  auto applyFilter = [&values, table, filter, selectedRow] {
    const std::string text = filter->text().toStdString();
    for (int r = 0; r < table->rowCount(); ++r)
      table->setRowHidden(r, !matchesModelFilter(values.models[static_cast<size_t>(r)], text));
    for (int r = 0; r < table->rowCount() && selectedRow() < 0; ++r)
      if (!table->isRowHidden(r)) table->selectRow(r);
  };
  auto updateOpen = [open, selectedRow] { open->setEnabled(selectedRow() >= 0); };
  QObject::connect(filter, &QLineEdit::textChanged, &dialog, [=] {
    applyFilter();
    updateOpen();
  });
  QObject::connect(table, &QTableWidget::itemSelectionChanged, &dialog, updateOpen);
  QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  applyFilter();
  updateOpen();
  dialog.resize(640, 480);

  if (dialog.exec() != QDialog::Accepted) return false;
  const int row = selectedRow();
  if (row < 0) return false;
  values.chosen = values.models[static_cast<size_t>(row)].name;
  values.filter = filter->text().toStdString();
  return true;
}

}  // namespace pelt
