#include "parameter_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <map>

#include "dialogs/field_tips.h"
#include "message_box.h"

namespace gridora {

ParameterDialog::ParameterDialog(DialogData& data, QWidget* parent) : QDialog(parent), data_(data) {
  setWindowTitle(QString::fromStdString(data_.Title()));
  data_.OnInitDialog();
  Build();
  ShowMembers();
}

namespace {

// The widest text a field of this kind shows: "%.*g" with 15 or 6 significant digits
// and a three-digit exponent, "%d" of the lowest int, or a title of some length.
QString WidestText(FieldKind kind) {
  switch (kind) {
    case FieldKind::Double: return "-0.00000000000000e+000";
    case FieldKind::Float: return "-0.00000e+000";
    case FieldKind::Int: return "-2147483648";
    default: return "A title of moderate length";
  }
}

// Read-only values keep their text readable and copyable but take the window's
// background, and the keyboard passes them by.
void LookReadOnly(QLineEdit* edit) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  edit->setPalette(palette);
  edit->setFocusPolicy(Qt::ClickFocus);
}

}  // namespace

void ParameterDialog::Build() {
  auto* layout = new QVBoxLayout(this);
  std::map<std::string, QFormLayout*> groups;
  QFormLayout* plain = nullptr;

  auto formFor = [&](const std::string& group) -> QFormLayout* {
    if (group.empty()) {
      if (!plain) {
        plain = new QFormLayout;
        plain->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        layout->addLayout(plain);
      }
      return plain;
    }
    auto found = groups.find(group);
    if (found != groups.end()) return found->second;
    auto* box = new QGroupBox(QString::fromStdString(group), this);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    layout->addWidget(box);
    groups[group] = form;
    return form;
  };

  for (const DialogField& field : data_.Fields()) {
    Control control;
    control.field = field;
    QFormLayout* form = formFor(field.group);
    // A field without a label of its own is named by its caption, if it has one.
    const QString label = QString::fromStdString(field.label.empty() ? field.caption : field.label);
    QWidget* row = nullptr;

    if (field.kind == FieldKind::Check) {
      control.check = new QCheckBox(label, this);
      control.focus = row = control.check;
      form->addRow(row);
    } else if (field.kind == FieldKind::Radio) {
      auto* box = new QWidget(this);
      auto* column = new QVBoxLayout(box);
      column->setContentsMargins(0, 0, 0, 0);
      control.radios = new QButtonGroup(this);
      for (std::size_t i = 0; i < field.choices.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(field.choices[i]), box);
        control.radios->addButton(radio, static_cast<int>(i));
        column->addWidget(radio);
        if (i == 0) control.focus = radio;
      }
      row = box;
      form->addRow(row);
    } else if (field.kind == FieldKind::Text && field.readOnly && label.isEmpty()) {
      // A prompt set by the caller: plain text, no border.
      control.edit = new QLineEdit(this);
      control.edit->setReadOnly(true);
      control.edit->setFrame(false);
      control.edit->setFocusPolicy(Qt::NoFocus);
      QPalette palette = control.edit->palette();
      palette.setColor(QPalette::Base, palette.color(QPalette::Window));
      control.edit->setPalette(palette);
      control.edit->setMinimumWidth(320);
      row = control.edit;
      form->addRow(row);
    } else {
      control.edit = new QLineEdit(this);
      control.edit->setReadOnly(field.readOnly);
      const QFontMetrics metrics(control.edit->font());
      control.edit->setMinimumWidth(metrics.horizontalAdvance(WidestText(field.kind)) + 2 * metrics.averageCharWidth());
      if (field.readOnly)
        LookReadOnly(control.edit);
      else
        control.focus = control.edit;
      row = control.edit;
      if (!field.unit.empty()) {
        auto* box = new QWidget(this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(control.edit, 1);
        line->addWidget(new QLabel(QString::fromStdString(field.unit), box));
        row = box;
      }
      if (label.isEmpty())
        form->addRow(row);
      else
        form->addRow(label, row);
    }
    // What the field does and its unit, over the field and its label.
    const QString tip = QString::fromStdString(FieldTip(field));
    row->setToolTip(tip);
    if (control.edit) control.edit->setToolTip(tip);
    if (control.radios)
      for (QAbstractButton* button : control.radios->buttons()) button->setToolTip(tip);
    if (QWidget* labelWidget = form->labelForField(row)) labelWidget->setToolTip(tip);
    if (field.hidden) {
      form->setRowVisible(row, false);
    }
    if (control.edit && !field.readOnly && data_.UpdatesWhileTyping()) {
      const std::size_t index = controls_.size();
      connect(control.edit, &QLineEdit::textEdited, this, [this, index] { OnTyped(index); });
    }
    controls_.push_back(control);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  for (const DialogButton& extra : data_.Buttons()) {
    QPushButton* button = buttons->addButton(QString::fromStdString(extra.label), QDialogButtonBox::ActionRole);
    const int id = extra.controlId;
    connect(button, &QPushButton::clicked, this, [this, id] { OnExtraButton(id); });
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  // Wide enough for the title in the title bar, and the first editable field has the
  // focus (never a read-only one).
  QFont titleFont = font();
  titleFont.setBold(true);
  setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarExtras);
  for (const Control& control : controls_) {
    if (control.focus && !control.field.hidden) {
      control.focus->setFocus();
      break;
    }
  }
}

void ParameterDialog::Refuse(const std::string& problem) {
  ShowInformation(this, windowTitle(), QString::fromStdString(problem));
}

void ParameterDialog::ShowMembers() {
  for (Control& control : controls_) {
    const std::string text = FormatFieldValue(control.field);
    if (control.edit) {
      control.edit->setText(QString::fromStdString(text));
    } else if (control.check) {
      control.check->setChecked(*static_cast<int*>(control.field.member) != 0);
    } else if (control.radios) {
      if (QAbstractButton* button = control.radios->button(*static_cast<int*>(control.field.member)))
        button->setChecked(true);
    }
  }
}

bool ParameterDialog::ReadMembers() {
  for (Control& control : controls_) {
    std::string text;
    if (control.edit) {
      text = control.edit->text().toStdString();
    } else if (control.check) {
      text.assign(1, control.check->isChecked() ? '1' : '0');
    } else if (control.radios) {
      text = QString::number(std::max(0, control.radios->checkedId())).toStdString();
    }
    if (auto problem = ParseFieldValue(control.field, text)) {
      Refuse(*problem);
      if (control.focus) {
        control.focus->setFocus();
        if (control.edit) control.edit->selectAll();
      }
      return false;
    }
  }
  return true;
}

void ParameterDialog::OnExtraButton(int controlId) {
  if (!ReadMembers()) return;
  data_.OnButton(controlId);
  ShowMembers();
}

void ParameterDialog::OnTyped(std::size_t index) {
  Control& typed = controls_[index];
  if (ParseFieldValue(typed.field, typed.edit->text().toStdString())) return;  // not a value yet
  data_.OnFieldEdited(typed.field.controlId);
  for (Control& control : controls_)
    if (control.edit && control.field.readOnly)
      control.edit->setText(QString::fromStdString(FormatFieldValue(control.field)));
}

void ParameterDialog::accept() {
  if (!ReadMembers()) return;
  if (auto problem = data_.Validate()) {
    Refuse(*problem);
    return;
  }
  QDialog::accept();
}

}  // namespace gridora
