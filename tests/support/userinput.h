#pragma once

// The user's side of a dialog test: focus moves, typed keys and clicks through QTest, so that a
// dialog sees what a person's hands would give it.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

inline void Settle() { QCoreApplication::processEvents(); }

inline ::testing::AssertionResult Open(QDialog& dlg) {
    dlg.show();
    dlg.activateWindow();
    if (!QTest::qWaitForWindowActive(&dlg)) return ::testing::AssertionFailure() << "dialog not active";
    Settle();
    return ::testing::AssertionSuccess();
}

inline QWidget* Focused() { return QApplication::focusWidget(); }

inline void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, mods);
    Settle();
}

inline void Type(const QString& text) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, text);
    Settle();
}

// Enters the field the way a user does, which selects its text, so typing replaces it.
inline void Enter(QWidget* field) {
    field->setFocus(Qt::TabFocusReason);
    Settle();
}

inline void EnterAndType(QLineEdit* edit, const QString& text) {
    Enter(edit);
    Type(text);
}

// Types into the field and leaves it with Tab, which is when the dialog reads it.
inline void TypeAndLeave(QLineEdit* edit, const QString& text) {
    EnterAndType(edit, text);
    Key(Qt::Key_Tab);
}

inline void Click(QAbstractButton* button) {
    QPoint at = button->rect().center();
    // On the box itself: the widget may be wider than what answers a click.
    QStyleOptionButton option;
    option.initFrom(button);
    if (qobject_cast<QCheckBox*>(button))
        at = button->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, button).center();
    else if (qobject_cast<QRadioButton*>(button))
        at = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button).center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
    Settle();
}

// Picks the neighbouring entry of a closed drop-down with the arrow keys.
inline void ChooseBelow(QComboBox* combo) {
    Enter(combo);
    Key(Qt::Key_Down);
}

inline void ChooseAbove(QComboBox* combo) {
    Enter(combo);
    Key(Qt::Key_Up);
}

template <class W> inline W* Find(QWidget& dlg, const char* name) {
    W* w = dlg.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

