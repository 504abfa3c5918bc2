#pragma once

#include <QPushButton>
#include <QWidget>

// Three push buttons "New", "Edit", "Delete", centred 10 pixels apart; narrower bars get
// narrower buttons and shorter labels.
class CButtonBar : public QWidget {
    Q_OBJECT
public:
    CButtonBar(int id, QWidget* parent = nullptr);

    int ID() const { return m_id; }
    QPushButton* NewButton() const { return m_new; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* DeleteButton() const { return m_delete; }

    struct Layout {
        int buttonWidth;
        int left; // x of the first button
        const char* labels[3];
    };
    static Layout LayoutFor(int width);

signals:
    void newClicked();
    void editClicked();
    void deleteClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_id;
    QPushButton* m_new;
    QPushButton* m_edit;
    QPushButton* m_delete;
};
