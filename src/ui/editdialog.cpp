#include "editdialog.h"

#include "project/numberrules.h"
#include "ui/formwidgets.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

CEditDialog::CEditDialog(QWidget* parent) : QDialog(parent) {}

void CEditDialog::OnFieldChanged(QLineEdit* edit, std::function<void(QLineEdit*)> reformat) {
    m_watched.push_back({edit, std::move(reformat), false});
    const size_t index = m_watched.size() - 1;
    connect(edit, &QLineEdit::textEdited, this, [this, index] { m_watched[index].dirty = true; });
    edit->installEventFilter(this);
}

QLineEdit* CEditDialog::AddNumberField(const char* name, std::function<void(double)> read) {
    QLineEdit* edit = MakeEdit(this, name);
    OnFieldChanged(edit, [this, read = std::move(read)](QLineEdit* e) {
        read(ReadLeadingNumber(e->text()));
        NumbersChanged();
    });
    return edit;
}

void CEditDialog::ReadFieldsStillBeingTyped() {
    for (Watched& w : m_watched)
        if (w.dirty) {
            w.dirty = false; // read once: a refused OK leaves the formatted text, not the typed one
            w.reformat(w.edit);
        }
}

void CEditDialog::accept() {
    ReadFieldsStillBeingTyped();
    QDialog::accept();
}

void CEditDialog::ApplyConventions() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->installEventFilter(this);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

bool CEditDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::FocusIn && !edit->isReadOnly()) {
        // After the click has placed the cursor, so that the selection stays.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (edit && event->type() == QEvent::FocusOut) {
        for (Watched& w : m_watched)
            if (w.edit == edit && w.dirty) {
                w.dirty = false;
                w.reformat(edit);
            }
    }
    return QDialog::eventFilter(watched, event);
}

void CEditDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (event->modifiers() & Qt::ControlModifier) accept();
        return; // Enter alone does nothing
    }
    QDialog::keyPressEvent(event);
}
