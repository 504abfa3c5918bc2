#pragma once

#include <QString>

class QCheckBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls of the editing dialogs, each named so that tests and help can find it.
QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength = 32767);
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength = 32767);
QLabel* MakeLabel(QWidget* parent, const char* text, QWidget* buddy = nullptr);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* text, bool checked = false);
QPushButton* MakeButton(QWidget* parent, const char* name, const char* text);
// OK (the default button, "IDOK") and Cancel ("IDCANCEL") at the right of a row, wired to the
// dialog's accept and reject.
QHBoxLayout* MakeOkCancelRow(QDialog* dialog);
