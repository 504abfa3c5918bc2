#include "formwidgets.h"

#include <QCheckBox>
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
