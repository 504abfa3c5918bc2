#pragma once

#include "app/appsettings.h"
#include "project/quorvanedoc.h"
#include "trace/tracesink.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

class CPrintCommand;
class CQtPrompter;
class CQuorvaneView;
class CQuorvaneView2;
class CStoreTabCtrl;
class CTraceWindow;
class CHelpWindow;
class QDialog;
class QLabel;
class QMimeData;
class QSplitter;
class QToolBar;
class QPrinter;

// The main window: menus, toolbar and status bar, the document, and the two panes split one
// above the other.
class CQuorvaneMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kDefaultUpperHeight = 380;

    // Without a prompter the window asks the person through Qt's own boxes.
    explicit CQuorvaneMain(CPrompter* prompter = nullptr, QWidget* parent = nullptr);
    ~CQuorvaneMain() override;

    CQuorvaneDoc& Doc() { return *m_doc; }
    CQuorvaneView* UpperView() const { return m_view; }
    CQuorvaneView2* LowerView() const { return m_view2; }
    CStoreTabCtrl* StoreTabs() const;
    QSplitter* Splitter() const { return m_splitter; }
    QToolBar* ToolBar() const { return m_toolBar; }
    CTraceSink& TraceSink() { return m_traceSink; }
    CTraceWindow* TraceWindow() const { return m_traceWindow; }
    CHelpWindow* HelpWindow() const { return m_helpWindow; }
    const QStringList& RecentFiles() const { return m_recent; }
    appsettings::CaptionColors CaptionColors() const { return m_colors; }
    // An action by its object name ("actionNewProject", ...).
    QAction* Action(const char* name) const;

    // A project named on the command line: opened once the window is up and idle.
    void SetStartupProject(const QString& path);
    bool StartupPending() const { return !m_startupPath.isEmpty(); }
    // A file handed over by a later start: the window comes to the front and the file opens as
    // Open opens it (with Open's message when it fails), once no dialog is up. Empty: only come
    // to the front.
    void OpenFileFromOutside(const QString& path);

    // Enables, disables and checks the commands for the current state.
    void UpdateCommandStates();
    // Hands a dragged splitter position to the document (the drag's debounce ends here).
    void CommitBarPosition();
    // Commits a drag still waiting for its timer: before the project closes or the window goes.
    void CommitPendingBarPosition();
    // Opens a project file as Open does (a dropped one, a chosen one).
    void OpenProjectFile(const QString& path);
    // The first project file (".qvp") among dropped files; empty when there is none.
    static QString DroppedProject(const QMimeData* data);
    int UpperPaneHeight() const;
    void SetCaptionColors(unsigned frame, unsigned text);

    // The help topic of the window a widget belongs to (its own or an ancestor's number).
    static int HelpContextForWidget(const QWidget* widget);
    void ShowHelp(int context);
    // F1 in a dialog: the dialog's page in a help window of the dialog's own, which its
    // modality does not block.
    CHelpWindow* ShowDialogHelp(QDialog* dialog);

    // ---- commands
    void OnFileNew();
    void OnFileOpen();
    void OnFileClose();
    void OnProjectInfo();
    void OnFileImportDatabase();
    void ImportOtherDatabase();
    void OnFileExport();
    void OnOpenRecent(int index);
    void OnPrintSetup();
    void OnFilePrint();
    void OnFilePrintPreview();
    // The printer of Print, Print Preview and Print Setup, made on first use.
    QPrinter& Printer();
    CPrintCommand& PrintCommand() { return *m_print; }
    void OnExit();
    void OnToggleVerifyDelete();
    void OnChangeColumnTitles();
    void OnSetWindowColors();
    void OnAbout();
    void OnHelp();
    void OnWhatsThis();
    void OnNextPane(bool forward);
    void OnTraceWindow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    QAction* MakeAction(const char* name, const QString& text, void (CQuorvaneMain::*slot)(),
                        const QKeySequence& key = {}, const QString& tip = {});
    QAction* MakeAction(const char* name, const QString& text, std::function<void()> fn,
                        const QKeySequence& key = {}, const QString& tip = {});
    void ScheduleCommandUpdate();
    void ApplyStoredPlacement();
    void SaveSettings();
    void OnUpperPaneRequested(bool restore);
    void SetUpperPaneHeight(int height);
    void OnRecentFileAdded(const QString& path);
    void RebuildRecentMenu();
    void OnWaitCursor(bool on);
    void UpdateAllViews();
    void UpdateTitle();
    void OpenStartupProject();
    void OpenPendingOutsideFile();

    std::unique_ptr<CQtPrompter> m_ownPrompter;
    CTraceSink m_traceSink;
    std::unique_ptr<CQuorvaneDoc> m_doc;
    QSplitter* m_splitter = nullptr;
    CQuorvaneView* m_view = nullptr;
    CQuorvaneView2* m_view2 = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    CTraceWindow* m_traceWindow = nullptr;
    CHelpWindow* m_helpWindow = nullptr;
    QList<QAction*> m_recentActions;
    QAction* m_recentSeparator = nullptr;
    QStringList m_recent;
    appsettings::CaptionColors m_colors;
    std::unique_ptr<QPrinter> m_printer; // made on first use: printing support is slow to load
    std::unique_ptr<CPrintCommand> m_print;
    QTimer m_barTimer;
    QTimer m_updateTimer;
    QString m_startupPath;
    QString m_outsidePath;
    bool m_shownOnce = false;
    bool m_updatingStates = false;
    int m_waitDepth = 0;
};
