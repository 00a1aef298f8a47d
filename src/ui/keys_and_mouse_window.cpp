#include "ui/keys_and_mouse_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/commands/help.h"

namespace pelt {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QTreeWidget* tree(const QStringList& headers, QWidget* parent) {
  auto* t = new QTreeWidget(parent);
  t->setHeaderLabels(headers);
  t->setRootIsDecorated(false);
  t->setUniformRowHeights(true);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  return t;
}

// A group title across every column, in bold.
QTreeWidgetItem* groupItem(QTreeWidget* t, const std::string& title) {
  auto* item = new QTreeWidgetItem(t, {qs(title)});
  item->setFirstColumnSpanned(true);
  QFont bold = item->font(0);
  bold.setBold(true);
  item->setFont(0, bold);
  return item;
}

}  // namespace

KeysAndMouseWindow::KeysAndMouseWindow(const KeysAndMouseValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  search_ = new QLineEdit(this);
  search_->setObjectName("search");
  search_->setPlaceholderText("Search commands, menus and keys");
  search_->setClearButtonEnabled(true);
  layout->addWidget(search_);

  auto* split = new QSplitter(Qt::Vertical, this);
  commands_ = tree({"Command", "Menu", "Key", "Tool bar"}, split);
  commands_->setObjectName("commands");
  for (const KeysAndMouseValues::Group& group : values_.commands) {
    QTreeWidgetItem* parentItem = groupItem(commands_, group.title);
    for (const KeysAndMouseValues::Row& row : group.rows) {
      new QTreeWidgetItem(parentItem,
                          {qs(row.command), qs(row.menu), qs(row.key), qs(row.toolBar)});
      ++total_;
    }
  }
  commands_->expandAll();
  commands_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  QTreeWidget* mouse = tree({"Mouse", "Does"}, split);
  mouse->setObjectName("mouse");
  for (const KeysAndMouseValues::GestureGroup& group : values_.mouse) {
    QTreeWidgetItem* parentItem = groupItem(mouse, group.title);
    for (const KeysAndMouseValues::Gesture& g : group.gestures)
      new QTreeWidgetItem(parentItem, {qs(g.action), qs(g.effect)});
  }
  mouse->expandAll();
  mouse->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);

  count_ = new QLabel(this);
  count_->setObjectName("count");
  layout->addWidget(count_);
  connect(search_, &QLineEdit::textChanged, this, &KeysAndMouseWindow::filter);
  filter({});
  setWindowTitle(QString("Keys and Mouse (%1 commands)").arg(total_));
  resize(760, 720);
}

void KeysAndMouseWindow::filter(const QString& query) {
  const std::string words = query.toStdString();
  for (int g = 0; g < commands_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = commands_->topLevelItem(g);
    const auto& rows = values_.commands[static_cast<size_t>(g)].rows;
    bool any = false;
    for (int r = 0; r < group->childCount(); ++r) {
      const bool match = matchesSearch(rows[static_cast<size_t>(r)], words);
      group->child(r)->setHidden(!match);
      any |= match;
    }
    group->setHidden(!any);
  }
  const int shown = shownCommands();
  count_->setText(shown == total_ ? QString("%1 commands").arg(total_)
                                  : QString("%1 of %2 commands").arg(shown).arg(total_));
}

int KeysAndMouseWindow::shownCommands() const {
  int shown = 0;
  for (int g = 0; g < commands_->topLevelItemCount(); ++g) {
    const QTreeWidgetItem* group = commands_->topLevelItem(g);
    for (int r = 0; r < group->childCount(); ++r) shown += group->child(r)->isHidden() ? 0 : 1;
  }
  return shown;
}

}  // namespace pelt
