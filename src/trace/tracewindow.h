#pragma once

#include <QDialog>

class CTraceSink;
class QListWidget;
class QPushButton;
class QSpinBox;
class QLabel;

// "Watch Trace Dialog": shows the sink's lines as they come. Hiding it leaves the sink
// collecting; the window unhooks itself from the sink when it goes.
class CTraceWindow : public QDialog {
    Q_OBJECT
public:
    explicit CTraceWindow(CTraceSink& sink, QWidget* parent = nullptr);
    ~CTraceWindow() override;

    QListWidget* List() const { return m_list; }
    QSpinBox* LevelBox() const { return m_level; }
    QPushButton* EraseButton() const { return m_erase; }
    QPushButton* OkButton() const { return m_ok; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnLinesChanged();
    void LayoutControls();

    CTraceSink& m_sink;
    QListWidget* m_list;
    QLabel* m_levelLabel;
    QSpinBox* m_level;
    QPushButton* m_erase;
    QPushButton* m_ok;
};
