#include "ui/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/playback.h"
#include "history/history.h"
#include "ui/tool_icons.h"
#include "view3d/snapshot.h"

namespace pelt {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QSpinBox* spin(int low, int high, int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

QDoubleSpinBox* offsetSpin(double value, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(-100000.0, 100000.0);
  box->setDecimals(3);
  box->setValue(value);
  return box;
}

}  // namespace

PreferencesDialog::PreferencesDialog(const PreferencesValues& values,
                                     PreferencesChoosers choosers, QWidget* parent)
    : QDialog(parent), choosers_(std::move(choosers)) {
  setWindowTitle("Preferences");
  auto* layout = new QVBoxLayout(this);

  auto* group = new QGroupBox("Directory scan prompt (no internal skins)", this);
  auto* groupLayout = new QHBoxLayout(group);
  dirScan_ = new QButtonGroup(this);
  const char* labels[] = {"Auto yes", "Auto no", "Prompt"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(labels[i], group);
    dirScan_->addButton(radio, i);
    groupLayout->addWidget(radio);
  }
  if (QAbstractButton* chosen = dirScan_->button(values.dirScanPrompt)) chosen->setChecked(true);
  layout->addWidget(group);

  skipIntro_ = new QCheckBox("Skip intro", this);
  skipIntro_->setChecked(values.skipIntro);
  quickExit_ = new QCheckBox("Quick exit", this);
  quickExit_->setChecked(values.quickExit);
  paletteOnTop_ = new QCheckBox("Palette on Top", this);
  paletteOnTop_->setChecked(values.paletteOnTop);
  layout->addWidget(skipIntro_);
  layout->addWidget(quickExit_);
  layout->addWidget(paletteOnTop_);

  palettePath_ =
      pathRow("Default Colormap with Palette:", values.palettePath, choosers_.palette, layout);
  phongPath_ = pathRow("Default Phong Map Folder", values.phongPath, choosers_.phongFolder, layout);
  envPath_ =
      pathRow("Default Environment Map Folder", values.envPath, choosers_.envFolder, layout);

  fitOnOpen_ = new QCheckBox("Fit On Open: show the whole skin and model when opening", this);
  fitOnOpen_->setChecked(values.fitOnOpen);
  layout->addWidget(fitOnOpen_);
  auto* speed = new QHBoxLayout;
  framesPerSecond_ = spin(kMinFramesPerSecond, kMaxFramesPerSecond, values.framesPerSecond, this);
  speed->addWidget(new QLabel("Frames Per Second", this));
  speed->addWidget(framesPerSecond_);
  interpolateFrames_ = new QCheckBox("Interpolate Frames", this);
  interpolateFrames_->setChecked(values.interpolateFrames);
  speed->addWidget(interpolateFrames_);
  speed->addStretch();
  layout->addLayout(speed);
  auto* undo = new QHBoxLayout;
  undoMemory_ = spin(kMinUndoMemoryMb, kMaxUndoMemoryMb, values.undoMemoryMb, this);
  undo->addWidget(new QLabel("Undo Memory (MB)", this));
  undo->addWidget(undoMemory_);
  ctrlZUndoes_ = new QCheckBox("Ctrl+Z undoes", this);
  ctrlZUndoes_->setChecked(values.ctrlZUndoes);
  undo->addWidget(ctrlZUndoes_);
  undo->addStretch();
  layout->addLayout(undo);

  layout->addWidget(okCancel(this));
  setMinimumWidth(460);
}

QLineEdit* PreferencesDialog::pathRow(const QString& label, const std::string& value,
                                      const PathChooser& chooser, QVBoxLayout* layout) {
  layout->addWidget(new QLabel(label, this));
  auto* row = new QHBoxLayout;
  auto* field = new QLineEdit(qs(value), this);
  auto* browse = new QPushButton("...", this);
  browse->setFixedWidth(32);
  row->addWidget(field);
  row->addWidget(browse);
  layout->addLayout(row);
  connect(browse, &QPushButton::clicked, this, [field, chooser] {
    if (!chooser) return;
    if (std::optional<std::string> path = chooser()) field->setText(qs(*path));
  });
  return field;
}

PreferencesValues PreferencesDialog::values() const {
  PreferencesValues v;
  v.dirScanPrompt = dirScan_->checkedId() < 0 ? 2 : dirScan_->checkedId();
  v.skipIntro = skipIntro_->isChecked();
  v.quickExit = quickExit_->isChecked();
  v.paletteOnTop = paletteOnTop_->isChecked();
  v.palettePath = palettePath_->text().toStdString();
  v.phongPath = phongPath_->text().toStdString();
  v.envPath = envPath_->text().toStdString();
  v.undoMemoryMb = undoMemory_->value();
  v.ctrlZUndoes = ctrlZUndoes_->isChecked();
  v.fitOnOpen = fitOnOpen_->isChecked();
  v.framesPerSecond = framesPerSecond_->value();
  v.interpolateFrames = interpolateFrames_->isChecked();
  return v;
}

bool runResizeSkinsDialog(QWidget* parent, ResizeSkinsValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Resize Skins");
  auto* form = new QFormLayout(&dialog);
  // Wide ranges: the core refuses what does not fit, with its own messages.
  QSpinBox* width = spin(0, 99999, values.width, &dialog);
  QSpinBox* height = spin(0, 99999, values.height, &dialog);
  auto* limits = new QCheckBox("Enforce Limits", &dialog);
  limits->setChecked(values.enforceLimits);
  form->addRow("Width", width);
  form->addRow("Height", height);
  form->addRow(limits);
  form->addRow(okCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  values.width = width->value();
  values.height = height->value();
  values.enforceLimits = limits->isChecked();
  return true;
}

bool runOffsetCompanionDialog(QWidget* parent, OffsetCompanionValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Offset Companion Model");
  auto* form = new QFormLayout(&dialog);
  QDoubleSpinBox* x = offsetSpin(values.x, &dialog);
  QDoubleSpinBox* y = offsetSpin(values.y, &dialog);
  QDoubleSpinBox* z = offsetSpin(values.z, &dialog);
  form->addRow("X offset", x);
  form->addRow("Y offset", y);
  form->addRow("Z offset", z);
  form->addRow(okCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  values.x = static_cast<float>(x->value());
  values.y = static_cast<float>(y->value());
  values.z = static_cast<float>(z->value());
  return true;
}

bool runSnapshotsDialog(QWidget* parent, SnapshotValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Snapshots");
  auto* layout = new QVBoxLayout(&dialog);

  auto* sizeGroup = new QGroupBox("Image Size", &dialog);
  auto* sizeForm = new QFormLayout(sizeGroup);
  auto* byDefault = new QRadioButton("Default", sizeGroup);
  auto* custom = new QRadioButton("Custom:", sizeGroup);
  (values.customSize ? custom : byDefault)->setChecked(true);
  // Any number may be typed; the core checks the 16..2048 range.
  QSpinBox* width = spin(0, 99999, values.width, sizeGroup);
  QSpinBox* height = spin(0, 99999, values.height, sizeGroup);
  sizeForm->addRow(byDefault);
  sizeForm->addRow(custom);
  sizeForm->addRow("Width", width);
  sizeForm->addRow("Height", height);
  layout->addWidget(sizeGroup);

  auto* qualityGroup = new QGroupBox("Output Quality", &dialog);
  auto* qualityLayout = new QVBoxLayout(qualityGroup);
  auto* trueColor = new QCheckBox("24 Bit Color", qualityGroup);
  trueColor->setChecked(values.trueColor);
  auto* smoothing = new QCheckBox("Smoothing:", qualityGroup);
  smoothing->setChecked(values.smoothing);
  auto* sharpness = new QSlider(Qt::Horizontal, qualityGroup);
  sharpness->setRange(0, 9999);
  sharpness->setValue(values.sharpness);
  auto* sliderRow = new QHBoxLayout;
  sliderRow->addWidget(new QLabel("Blurry", qualityGroup));
  sliderRow->addWidget(sharpness);
  sliderRow->addWidget(new QLabel("Sharp", qualityGroup));
  qualityLayout->addWidget(trueColor);
  qualityLayout->addWidget(smoothing);
  qualityLayout->addLayout(sliderRow);
  layout->addWidget(qualityGroup);
  layout->addWidget(okCancel(&dialog));

  auto applyRules = [=] {
    const SnapshotControls on =
        snapshotControls(custom->isChecked(), trueColor->isChecked(), smoothing->isChecked());
    width->setEnabled(on.size);
    height->setEnabled(on.size);
    smoothing->setEnabled(on.smoothing);
    sharpness->setEnabled(on.slider);
  };
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{byDefault, custom, trueColor, smoothing})
    QObject::connect(b, &QAbstractButton::clicked, &dialog, applyRules);
  applyRules();

  if (dialog.exec() != QDialog::Accepted) return false;
  values.customSize = custom->isChecked();
  values.width = width->value();
  values.height = height->value();
  values.trueColor = trueColor->isChecked();
  // A greyed-out box does not count, whatever it shows.
  values.smoothing = smoothing->isChecked() && trueColor->isChecked();
  values.sharpness = sharpness->value();
  return true;
}

bool runMapFromViewDialog(QWidget* parent, MapFromViewValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Map from 3D View");
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("Projection:", &dialog));
  // Each button selects the projection its label names.
  auto* perspective = new QRadioButton("Perspective", &dialog);
  auto* parallel = new QRadioButton("Parallel", &dialog);
  (values.projection == 1 ? parallel : perspective)->setChecked(true);
  auto* noBackfaces = new QCheckBox("No Backfaces", &dialog);
  noBackfaces->setChecked(values.noBackfaces);
  auto* flip = new QCheckBox("Flip", &dialog);
  flip->setChecked(values.flip);
  auto* mirror = new QCheckBox("Mirror", &dialog);
  mirror->setChecked(values.mirror);
  for (QWidget* w : std::initializer_list<QWidget*>{perspective, parallel, noBackfaces, flip, mirror})
    layout->addWidget(w);
  layout->addWidget(okCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  values.projection = parallel->isChecked() ? 1 : 0;
  values.noBackfaces = noBackfaces->isChecked();
  values.flip = flip->isChecked();
  values.mirror = mirror->isChecked();
  return true;
}

bool runReduceColoursDialog(QWidget* parent, ReduceColoursValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("Reduce to the palette");
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(
      QString("This picture has %1 colours. Reduce it to the palette by:").arg(values.colours),
      &dialog));
  auto* nearest = new QRadioButton("Nearest colour", &dialog);
  auto* dithered = new QRadioButton("Dithered (Floyd-Steinberg)", &dialog);
  (values.dithered ? dithered : nearest)->setChecked(true);
  auto* keepOut = new QCheckBox("Keep protected colours out", &dialog);
  keepOut->setChecked(values.keepProtectedOut);
  for (QWidget* w : std::initializer_list<QWidget*>{nearest, dithered, keepOut})
    layout->addWidget(w);
  layout->addWidget(okCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  values.dithered = dithered->isChecked();
  values.keepProtectedOut = keepOut->isChecked();
  return true;
}

void runAboutDialog(QWidget* parent, const AboutValues& values) {
  QDialog dialog(parent);
  dialog.setWindowTitle("About Pelt");
  auto* layout = new QVBoxLayout(&dialog);
  auto* head = new QHBoxLayout;
  auto* picture = new QLabel(&dialog);
  picture->setPixmap(aboutPicture());
  head->addWidget(picture);
  auto* texts = new QVBoxLayout;
  auto* name = new QLabel(qs(values.nameAndVersion), &dialog);
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.4);
  name->setFont(bold);
  texts->addWidget(name);
  for (const std::string* line : {&values.authorship, &values.contact}) {
    auto* label = new QLabel(qs(*line), &dialog);
    label->setWordWrap(true);
    texts->addWidget(label);
  }
  texts->addStretch();
  head->addLayout(texts, 1);
  layout->addLayout(head);

  auto* table = new QTableWidget(static_cast<int>(values.rows.size()), 3, &dialog);
  table->setObjectName("aboutTable");
  table->setHorizontalHeaderLabels({"Data", "Current", "Limit"});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  const int widths[] = {115, 80, 85};
  const Qt::Alignment align[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight};
  for (int c = 0; c < 3; ++c) {
    table->setColumnWidth(c, widths[c]);
    table->horizontalHeaderItem(c)->setTextAlignment(align[c] | Qt::AlignVCenter);
  }
  for (int r = 0; r < static_cast<int>(values.rows.size()); ++r) {
    const AboutValues::Row& row = values.rows[static_cast<size_t>(r)];
    const std::string* cells[] = {&row.label, &row.current, &row.limit};
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(qs(*cells[c]));
      item->setTextAlignment(align[c] | Qt::AlignVCenter);
      table->setItem(r, c, item);
    }
  }
  table->setMinimumWidth(115 + 80 + 85 + 4);
  table->setMinimumHeight(table->verticalHeader()->length() + table->horizontalHeader()->height() + 4);
  layout->addWidget(table);
  layout->addWidget(new QLabel(qs(values.musicCredit), &dialog));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.exec();
}

}  // namespace pelt
