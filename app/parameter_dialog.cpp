#include "parameter_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <map>

namespace gridora {

ParameterDialog::ParameterDialog(DialogData& data, QWidget* parent) : QDialog(parent), data_(data) {
  setWindowTitle(QString::fromStdString(data_.Title()));
  data_.OnInitDialog();
  Build();
  ShowMembers();
}

void ParameterDialog::Build() {
  auto* layout = new QVBoxLayout(this);
  std::map<std::string, QFormLayout*> groups;
  QFormLayout* plain = nullptr;

  auto formFor = [&](const std::string& group) -> QFormLayout* {
    if (group.empty()) {
      if (!plain) {
        plain = new QFormLayout;
        layout->addLayout(plain);
      }
      return plain;
    }
    auto found = groups.find(group);
    if (found != groups.end()) return found->second;
    auto* box = new QGroupBox(QString::fromStdString(group), this);
    auto* form = new QFormLayout(box);
    layout->addWidget(box);
    groups[group] = form;
    return form;
  };

  for (const DialogField& field : data_.Fields()) {
    Control control;
    control.field = field;
    QFormLayout* form = formFor(field.group);
    const QString label = QString::fromStdString(field.label);
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
    } else if (field.kind == FieldKind::Text && field.readOnly && field.label.empty()) {
      // A prompt set by the caller: plain text, no border.
      control.edit = new QLineEdit(this);
      control.edit->setReadOnly(true);
      control.edit->setFrame(false);
      control.edit->setFocusPolicy(Qt::NoFocus);
      control.edit->setMinimumWidth(320);
      row = control.edit;
      form->addRow(row);
    } else {
      control.edit = new QLineEdit(this);
      control.edit->setReadOnly(field.readOnly);
      control.focus = control.edit;
      row = control.edit;
      if (!field.unit.empty()) {
        auto* box = new QWidget(this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(control.edit);
        line->addWidget(new QLabel(QString::fromStdString(field.unit), box));
        row = box;
      }
      if (label.isEmpty())
        form->addRow(row);
      else
        form->addRow(label, row);
    }
    if (field.hidden) {
      form->setRowVisible(row, false);
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
      QMessageBox::information(this, windowTitle(), QString::fromStdString(*problem));
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

void ParameterDialog::accept() {
  if (!ReadMembers()) return;
  if (auto problem = data_.Validate()) {
    QMessageBox::information(this, windowTitle(), QString::fromStdString(*problem));
    return;
  }
  QDialog::accept();
}

}  // namespace gridora
