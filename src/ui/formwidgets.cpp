#include "formwidgets.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength) {
    QLineEdit* edit = MakeEdit(parent, name, maxLength);
    edit->setText(text);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    if (buddy) label->setBuddy(buddy);
    return label;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* text, bool checked) {
    auto* check = new QCheckBox(QString::fromLatin1(text), parent);
    check->setObjectName(QLatin1String(name));
    check->setChecked(checked);
    return check;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QHBoxLayout* MakeOkCancelRow(QDialog* dialog) {
    QPushButton* ok = MakeButton(dialog, "IDOK", "OK");
    ok->setDefault(true);
    QPushButton* cancel = MakeButton(dialog, "IDCANCEL", "Cancel");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
