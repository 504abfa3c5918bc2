#pragma once

#include <QDialog>
#include <QLineEdit>
#include <functional>

// The editing dialogs' convention: Enter alone does not close the dialog, Ctrl+Enter accepts
// it, Escape cancels; entering an edit field selects its whole text; a changed field can be
// re-read and rewritten in its display format when it loses the focus.
class CEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit CEditDialog(QWidget* parent = nullptr);

    // Calls reformat(edit) when the edit loses the focus after its text was changed by the user.
    void OnFieldChanged(QLineEdit* edit, std::function<void(QLineEdit*)> reformat);
    // A number field: read(number) when the user leaves it changed, then NumbersChanged().
    QLineEdit* AddNumberField(const char* name, std::function<void(double)> read);
    // Reads every field the user changed but has not left yet (the dialog is being accepted).
    void ReadFieldsStillBeingTyped();

public slots:
    void accept() override;
    // Call once the controls exist: every QLineEdit child selects its whole text on entry, and
    // no push button is a default button, so that Enter alone never presses one.
    void ApplyConventions();

protected:
    // After a number field was read: the dialog shows what follows from it.
    virtual void NumbersChanged() {}
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        QLineEdit* edit;
        std::function<void(QLineEdit*)> reformat;
        bool dirty = false;
    };
    std::vector<Watched> m_watched;
};
