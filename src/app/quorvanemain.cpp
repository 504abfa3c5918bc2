#include "quorvanemain.h"

#include "app/aboutdlg.h"
#include "app/appicon.h"
#include "app/colorselectdlg.h"
#include "app/columntitledlg.h"
#include "app/helpcontext.h"
#include "app/helptopics.h"
#include "app/helpwindow.h"
#include "app/printcommand.h"
#include "app/projectinfodlg.h"
#include "app/quorvaneview.h"
#include "app/quorvaneview2.h"
#include "customers/customerlistctrl.h"
#include "import/importdlg.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "stores/exportselectiondlg.h"
#include "stores/importselectiondlg.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "trace/tracesink.h"
#include "trace/tracewindow.h"
#include "ui/qtprompter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <utility>

CQuorvaneMain::CQuorvaneMain(CPrompter* prompter, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("QuorvaneMain"));
    setWindowIcon(ProgramIcon());
    SetTraceSink(&m_traceSink);
    if (!prompter) {
        m_ownPrompter = std::make_unique<CQtPrompter>(this);
        prompter = m_ownPrompter.get();
    }
    m_doc = std::make_unique<CQuorvaneDoc>(prompter);
    m_print = std::make_unique<CPrintCommand>(*this);

    // The lists take the caption colour when they are made.
    CAppSettings settings;
    m_colors = settings.CaptionColors();
    m_recent = settings.LoadRecentFiles();
    CListWindow::SetFrameColor(m_colors.frame);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_view = new CQuorvaneView(m_doc.get(), m_splitter);
    m_view2 = new CQuorvaneView2(m_doc.get(), m_splitter);
    m_splitter->addWidget(m_view);
    m_splitter->addWidget(m_view2);
    // The upper pane keeps its height when the window is resized; the lower one takes the rest.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(true);
    setCentralWidget(m_splitter);
    m_view->SetStoreTabs(StoreTabs());
    m_view->SetCaptionColors({m_colors.frame, m_colors.text});
    m_view2->SetCaptionColors({m_colors.frame, m_colors.text});

    CCustomerListCtrl* customers = m_view->Customers();
    CInvoicesListCtrl* invoices = m_view->Invoices();
    CInvoiceItemsListCtrl* items = m_view->Items();
    customers->SetInvoiceList(invoices);
    invoices->SetNeighbours(customers, items, StoreTabs());
    items->SetNeighbours(invoices, StoreTabs());
    m_doc->SetListOwners(customers, invoices, items, StoreTabs());

    CreateActions();
    CreateMenus();

    m_messagePane = new QLabel(QStringLiteral("Ready"), this);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(m_messagePane, 1);
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), this);
        label->setObjectName(QStringLiteral("indicator%1").arg(QLatin1String(indicator)));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
        statusBar()->addPermanentWidget(label);
    }

    connect(m_doc.get(), &CQuorvaneDoc::upperPaneRequested, this, &CQuorvaneMain::OnUpperPaneRequested);
    connect(m_doc.get(), &CQuorvaneDoc::recentFileAdded, this, &CQuorvaneMain::OnRecentFileAdded);
    connect(m_doc.get(), &CQuorvaneDoc::waitCursorRequested, this, &CQuorvaneMain::OnWaitCursor);
    connect(m_doc.get(), &CQuorvaneDoc::allViewsUpdateRequested, this, &CQuorvaneMain::UpdateAllViews);
    connect(StoreTabs(), &CStoreTabCtrl::storesChanged, this, &CQuorvaneMain::UpdateAllViews);
    // Posted by the store tabs (queued there): handled once the move is over.
    connect(StoreTabs(), &CStoreTabCtrl::refreshItemPointersRequested, m_view->Items(),
            &CInvoiceItemsListCtrl::OnRefreshInvoiceItemPointers);
    for (CListWindow* list : std::initializer_list<CListWindow*>{customers, invoices, items})
        connect(list, &CListWindow::currentRecordChanged, this, &CQuorvaneMain::ScheduleCommandUpdate);

    // A drag is a run of moves: the document hears the position once the handle rests.
    m_barTimer.setSingleShot(true);
    m_barTimer.setInterval(400);
    connect(&m_barTimer, &QTimer::timeout, this, &CQuorvaneMain::CommitBarPosition);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_barTimer.start(); });
    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &CQuorvaneMain::UpdateCommandStates);

    // The bars come back as they were left.
    if (!settings.ToolBarVisible()) m_toolBar->hide();
    if (!settings.StatusBarVisible()) statusBar()->hide();
    setAcceptDrops(true);

    qApp->installEventFilter(this);
    ApplyStoredPlacement();
    SetUpperPaneHeight(0);
    UpdateTitle();
    UpdateAllViews();
    UpdateCommandStates();
}

CQuorvaneMain::~CQuorvaneMain() {
    qApp->removeEventFilter(this);
    CommitPendingBarPosition();
    m_updateTimer.stop();
    // The lists are the document's table owners: close the project while both exist.
    m_doc->OnFileCloseProject();
    m_doc->SetListOwners(nullptr, nullptr, nullptr, nullptr);
    delete m_traceWindow;
    m_traceWindow = nullptr;
    delete m_splitter;
    m_splitter = nullptr;
    if (GetTraceSink() == &m_traceSink) SetTraceSink(nullptr);
}

CStoreTabCtrl* CQuorvaneMain::StoreTabs() const { return m_view2->StoreTabs(); }

QAction* CQuorvaneMain::Action(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

// ---------------------------------------------------------------- menus

QAction* CQuorvaneMain::MakeAction(const char* name, const QString& text, std::function<void()> fn,
                                   const QKeySequence& key, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) action->setShortcut(key);
    if (!tip.isEmpty()) action->setStatusTip(tip);
    if (fn)
        connect(action, &QAction::triggered, this, [this, fn = std::move(fn)] {
            fn();
            UpdateCommandStates();
        });
    return action;
}

QAction* CQuorvaneMain::MakeAction(const char* name, const QString& text, void (CQuorvaneMain::*slot)(),
                                   const QKeySequence& key, const QString& tip) {
    return MakeAction(name, text, slot ? std::function<void()>([this, slot] { (this->*slot)(); }) : std::function<void()>(),
                      key, tip);
}

void CQuorvaneMain::CreateActions() {
    using K = QKeySequence;
    MakeAction("actionNewProject", QStringLiteral("&New Project..."), &CQuorvaneMain::OnFileNew, K(Qt::CTRL | Qt::Key_N),
               QStringLiteral("Create a new project"))
        ->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    MakeAction("actionOpenProject", QStringLiteral("&Open Project..."), &CQuorvaneMain::OnFileOpen, K(Qt::CTRL | Qt::Key_O),
               QStringLiteral("Open an existing project"))
        ->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    MakeAction("actionCloseProject", QStringLiteral("&Close Project"), &CQuorvaneMain::OnFileClose, K(Qt::CTRL | Qt::Key_W),
               QStringLiteral("Close the project"));
    MakeAction("actionProjectInfo", QStringLiteral("Project In&fo..."), &CQuorvaneMain::OnProjectInfo, {},
               QStringLiteral("Show the project's file and description"));
    MakeAction("actionImport", QStringLiteral("&Import..."), &CQuorvaneMain::OnFileImportDatabase, {},
               QStringLiteral("Import a store or another database"));
    MakeAction("actionExport", QStringLiteral("&Export..."), &CQuorvaneMain::OnFileExport, {},
               QStringLiteral("Export the current store"));
    MakeAction("actionPrint", QStringLiteral("&Print..."), &CQuorvaneMain::OnFilePrint, K(Qt::CTRL | Qt::Key_P),
               QStringLiteral("Print the current invoice or store list"))
        ->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    MakeAction("actionPrintPreview", QStringLiteral("Print Pre&view"), &CQuorvaneMain::OnFilePrintPreview, {},
               QStringLiteral("Show the printout on screen"))
        ->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    MakeAction("actionPrintSetup", QStringLiteral("P&rint Setup..."), &CQuorvaneMain::OnPrintSetup, {},
               QStringLiteral("Choose the printer and the page"));
    for (int i = 0; i < appsettings::kRecentShown; ++i) {
        const QByteArray name = "actionRecent" + QByteArray::number(i + 1);
        QAction* a = MakeAction(name.constData(), QString(), [this, i] { OnOpenRecent(i); });
        m_recentActions << a;
    }
    MakeAction("actionExit", QStringLiteral("E&xit"), &CQuorvaneMain::OnExit, {}, QStringLiteral("Quit the program"));

    auto storeList = [this] { return StoreTabs()->CurrentStoreList(); };
    MakeAction("actionAddStoreItem", QStringLiteral("Add &Store Item..."),
               [storeList] { if (CStoreListCtrl* l = storeList()) l->OnEditAddItem(); }, K(Qt::CTRL | Qt::Key_A));
    MakeAction("actionEditStoreItem", QStringLiteral("Edit Store Item..."),
               [storeList] { if (CStoreListCtrl* l = storeList()) l->OnEditItem(); });
    MakeAction("actionDeleteStoreItem", QStringLiteral("Delete Store Item..."),
               [storeList] { if (CStoreListCtrl* l = storeList()) l->OnEditDelItem(); });
    MakeAction("actionAddCustomer", QStringLiteral("Add C&ustomer..."), [this] { m_view->Customers()->OnEditAddItem(); },
               K(Qt::CTRL | Qt::Key_U));
    MakeAction("actionEditCustomer", QStringLiteral("Edit Customer..."), [this] { m_view->Customers()->OnEditItem(); });
    MakeAction("actionDeleteCustomer", QStringLiteral("Delete Customer..."), [this] { m_view->Customers()->OnEditDelItem(); });
    MakeAction("actionAddInvoice", QStringLiteral("Add &Invoice..."), [this] { m_view->Invoices()->OnEditAddItem(); },
               K(Qt::CTRL | Qt::Key_I));
    MakeAction("actionEditInvoice", QStringLiteral("Edit Invoice..."), [this] { m_view->Invoices()->OnEditItem(); });
    MakeAction("actionDeleteInvoice", QStringLiteral("Delete Invoice..."), [this] { m_view->Invoices()->OnEditDelItem(); });
    MakeAction("actionAddStore", QStringLiteral("&Add Store..."), [this] { StoreTabs()->OnEditAddItem(); });
    MakeAction("actionEditStore", QStringLiteral("&Edit Store..."), [this] { StoreTabs()->OnEditItem(); });
    MakeAction("actionDeleteStore", QStringLiteral("&Delete Store..."), [this] { StoreTabs()->OnEditDelItem(); });
    MakeAction("actionCopyStoreItems", QStringLiteral("&Copy Store Item(s)..."),
               [this] { StoreTabs()->OnEditCopyStoreItem(false); });
    MakeAction("actionMoveStoreItems", QStringLiteral("&Move Store Item(s)..."),
               [this] { StoreTabs()->OnEditCopyStoreItem(true); });

    MakeAction("actionContainersList", QStringLiteral("&Containers List..."), [this] { StoreTabs()->ShowContainersDlg(); });
    MakeAction("actionDiscountTables", QStringLiteral("&Discount Table(s)..."), [this] { StoreTabs()->ShowDiscountsDlg(); });

    QAction* verify = MakeAction("actionVerifyDelete", QStringLiteral("Verify Delete"), &CQuorvaneMain::OnToggleVerifyDelete,
                                 {}, QStringLiteral("Ask before deleting"));
    verify->setCheckable(true);
    MakeAction("actionColumnTitles", QStringLiteral("Change Column Titles..."), &CQuorvaneMain::OnChangeColumnTitles);
    MakeAction("actionWindowColors", QStringLiteral("Set Window Colors..."), &CQuorvaneMain::OnSetWindowColors);

    MakeAction("actionAbout", QStringLiteral("&About Quorvane..."), &CQuorvaneMain::OnAbout, {},
               QStringLiteral("Show the program's version"));
    MakeAction("actionHelpTopics", QStringLiteral("Help Topics"), &CQuorvaneMain::OnHelp, K(Qt::Key_F1),
               QStringLiteral("Show help on the window you are in"));
    QAction* whatsThis = MakeAction("actionWhatsThis", QStringLiteral("What's This"), &CQuorvaneMain::OnWhatsThis,
                                    K(Qt::SHIFT | Qt::Key_F1), QStringLiteral("Click on a part of the window for its help"));
    whatsThis->setIcon(style()->standardIcon(QStyle::SP_TitleBarContextHelpButton));

    // Keys without a menu entry.
    addAction(MakeAction("actionNextPane", QStringLiteral("Next Pane"), [this] { OnNextPane(true); }, K(Qt::Key_F6)));
    addAction(MakeAction("actionPrevPane", QStringLiteral("Previous Pane"), [this] { OnNextPane(false); },
                         K(Qt::SHIFT | Qt::Key_F6)));
    addAction(MakeAction("actionTraceWindow", QStringLiteral("Trace Window"), &CQuorvaneMain::OnTraceWindow,
                         K(Qt::CTRL | Qt::SHIFT | Qt::Key_F12)));
}

void CQuorvaneMain::CreateMenus() {
    auto a = [this](const char* name) { return Action(name); };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    file->addActions({a("actionNewProject"), a("actionOpenProject"), a("actionCloseProject"), a("actionProjectInfo")});
    file->addSeparator();
    file->addActions({a("actionImport"), a("actionExport")});
    file->addSeparator();
    file->addActions({a("actionPrint"), a("actionPrintPreview"), a("actionPrintSetup")});
    file->addSeparator();
    file->addActions(m_recentActions);
    m_recentSeparator = file->addSeparator();
    file->addAction(a("actionExit"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addActions({a("actionAddStoreItem"), a("actionEditStoreItem"), a("actionDeleteStoreItem")});
    edit->addSeparator();
    edit->addActions({a("actionAddCustomer"), a("actionEditCustomer"), a("actionDeleteCustomer")});
    edit->addSeparator();
    edit->addActions({a("actionAddInvoice"), a("actionEditInvoice"), a("actionDeleteInvoice")});
    edit->addSeparator();
    edit->addActions({a("actionAddStore"), a("actionEditStore"), a("actionDeleteStore"), a("actionCopyStoreItems"),
                      a("actionMoveStoreItems")});

    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setMovable(false);
    m_toolBar->addActions({a("actionNewProject"), a("actionOpenProject")});
    m_toolBar->addSeparator();
    m_toolBar->addActions({a("actionPrint"), a("actionPrintPreview"), a("actionWhatsThis")});
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    QAction* toolbar = MakeAction("actionToolbar", QStringLiteral("&Toolbar"),
                                  [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); }, {},
                                  QStringLiteral("Show or hide the toolbar"));
    QAction* status = MakeAction("actionStatusBar", QStringLiteral("&Status Bar"),
                                 [this] { statusBar()->setVisible(!statusBar()->isVisible()); }, {},
                                 QStringLiteral("Show or hide the status bar"));
    toolbar->setCheckable(true);
    status->setCheckable(true);
    view->addActions({toolbar, status});
    view->addSeparator();
    view->addActions({a("actionContainersList"), a("actionDiscountTables")});

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("menuOptions"));
    options->addActions({a("actionVerifyDelete"), a("actionColumnTitles"), a("actionWindowColors")});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addActions({a("actionAbout"), a("actionHelpTopics")});

    for (QMenu* menu : {file, edit, view, options, help})
        connect(menu, &QMenu::aboutToShow, this, &CQuorvaneMain::UpdateCommandStates);
    RebuildRecentMenu();
}

void CQuorvaneMain::ScheduleCommandUpdate() {
    if (!m_updatingStates) m_updateTimer.start();
}

void CQuorvaneMain::UpdateCommandStates() {
    if (m_updatingStates) return;
    m_updatingStates = true;
    const bool open = m_doc->IsProjectOpen();
    CStoreTabCtrl* tabs = StoreTabs();
    CCustomerListCtrl* customers = m_view->Customers();
    CInvoicesListCtrl* invoices = m_view->Invoices();
    CStoreListCtrl* store = tabs->CurrentStoreList();
    const bool storeHasRow = store && store->GetItemCount() > 0;
    const bool customerCanEdit = customers->CanEdit();
    const bool invoiceCanEdit = invoices->CanEdit();
    const bool storeItemCanEdit = store && store->CanEdit();

    const std::pair<const char*, bool> states[] = {
        {"actionCloseProject", open},
        {"actionProjectInfo", open},
        {"actionImport", tabs->CanEdit()},
        {"actionExport", tabs->CanEdit()},
        {"actionPrint", open},
        {"actionPrintPreview", open},
        {"actionAddStoreItem", store && store->CanProceed()},
        {"actionEditStoreItem", storeItemCanEdit},
        {"actionDeleteStoreItem", storeItemCanEdit},
        {"actionAddCustomer", tabs->CanEdit() && customers->CanProceed()},
        {"actionEditCustomer", customerCanEdit},
        {"actionDeleteCustomer", customerCanEdit},
        {"actionAddInvoice", storeHasRow && customerCanEdit && invoices->CanProceed()},
        {"actionEditInvoice", storeHasRow && invoiceCanEdit},
        {"actionDeleteInvoice", invoiceCanEdit},
        {"actionAddStore", tabs->CanProceed()},
        {"actionEditStore", tabs->CanEdit()},
        {"actionDeleteStore", tabs->GetStoreCount() >= 2},
        {"actionCopyStoreItems", tabs->CanEdit() && tabs->GetStoreCount() >= 2},
        {"actionMoveStoreItems", tabs->CanEdit() && tabs->GetStoreCount() >= 2},
        {"actionContainersList", open},
        {"actionDiscountTables", open},
        {"actionColumnTitles", open},
        {"actionWindowColors", open},
    };
    for (const auto& [name, enabled] : states)
        if (QAction* a = Action(name)) a->setEnabled(enabled);
    Action("actionVerifyDelete")->setChecked(m_doc->IsVerifyOn());
    Action("actionToolbar")->setChecked(m_toolBar->isVisible() || (!isVisible() && !m_toolBar->isHidden()));
    Action("actionStatusBar")->setChecked(statusBar()->isVisible() || (!isVisible() && !statusBar()->isHidden()));
    m_updatingStates = false;
}

// ---------------------------------------------------------------- the panes

int CQuorvaneMain::UpperPaneHeight() const { return m_splitter->sizes().value(0); }

void CQuorvaneMain::SetUpperPaneHeight(int height) {
    const int total = std::max(m_splitter->height() - m_splitter->handleWidth(), height + 1);
    m_splitter->setSizes({height, total - height});
}

void CQuorvaneMain::OnUpperPaneRequested(bool restore) {
    m_barTimer.stop();
    const int bar = m_doc->GetBarPosition();
    SetUpperPaneHeight(restore ? (bar > 99 ? bar : kDefaultUpperHeight) : 0);
}

void CQuorvaneMain::CommitPendingBarPosition() {
    if (m_barTimer.isActive()) CommitBarPosition();
}

void CQuorvaneMain::CommitBarPosition() {
    m_barTimer.stop();
    const int height = UpperPaneHeight();
    if (m_doc->IsProjectOpen() && height > 0 && height != m_doc->GetBarPosition()) m_doc->SetBarPosition(height);
}

void CQuorvaneMain::UpdateAllViews() {
    m_view->UpdateLayout();
    m_view2->UpdateLayout();
    UpdateTitle();
    ScheduleCommandUpdate();
}

void CQuorvaneMain::UpdateTitle() {
    QString title = QStringLiteral("Quorvane");
    if (m_doc->IsProjectOpen()) title += QStringLiteral(" - ") + m_doc->GetTitle();
    setWindowTitle(title);
}

void CQuorvaneMain::SetCaptionColors(unsigned frame, unsigned text) {
    m_colors = {frame, text};
    CListWindow::SetFrameColor(frame);
    m_view->SetCaptionColors({frame, text});
    m_view2->SetCaptionColors({frame, text});
    // The lists draw their frame in the caption colour.
    for (CListWindow* list : findChildren<CListWindow*>()) {
        QPalette p = list->palette();
        p.setColor(QPalette::WindowText, CQtPrompter::ToQColor(frame));
        list->setPalette(p);
        list->update();
    }
    UpdateAllViews();
}

void CQuorvaneMain::OnNextPane(bool) {
    // Two panes: the next one and the previous one are both the other one.
    const QWidget* focus = QApplication::focusWidget();
    const bool inUpper = focus && (focus == m_view || m_view->isAncestorOf(focus));
    if (inUpper) m_view2->FocusPane();
    else m_view->FocusPane();
}

// ---------------------------------------------------------------- placement and settings

void CQuorvaneMain::ApplyStoredPlacement() {
    CAppSettings settings;
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QSize screenSize = primary ? primary->size() : QSize(1024, 768);
    const appsettings::FrameRect stored = settings.FrameRect(screenSize.width(), screenSize.height());
    // The screen that shows most of the stored rectangle; the primary one when none shows any.
    const QScreen* screen = primary;
    qint64 shown = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect part = s->availableGeometry().intersected(stored.ToQRect());
        const qint64 area = qint64(part.width()) * part.height();
        if (!part.isEmpty() && area > shown) {
            shown = area;
            screen = s;
        }
    }
    setGeometry(screen ? appsettings::FitFrameRect(stored, screen->availableGeometry()).ToQRect() : stored.ToQRect());
    Qt::WindowStates state = Qt::WindowNoState;
    if (settings.Maximized()) state |= Qt::WindowMaximized;
    if (settings.Iconic()) state |= Qt::WindowMinimized;
    setWindowState(state);
}

void CQuorvaneMain::SaveSettings() {
    CAppSettings settings;
    settings.SaveFramePlacement(appsettings::FrameRect::FromQRect(normalGeometry().isValid() ? normalGeometry() : geometry()),
                                isMinimized(), isMaximized());
    settings.SaveCaptionColors(m_colors);
    settings.SaveBarVisibility(!m_toolBar->isHidden(), !statusBar()->isHidden());
    settings.SaveRecentFiles(m_recent);
    settings.Sync();
}

void CQuorvaneMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    if (!m_startupPath.isEmpty()) QTimer::singleShot(50, this, &CQuorvaneMain::OpenStartupProject);
}

void CQuorvaneMain::closeEvent(QCloseEvent* event) {
    CommitPendingBarPosition();
    m_doc->OnFileCloseProject();
    SaveSettings();
    if (m_traceWindow) m_traceWindow->hide();
    if (m_helpWindow) m_helpWindow->hide();
    QMainWindow::closeEvent(event);
}

void CQuorvaneMain::SetStartupProject(const QString& path) {
    m_startupPath = path;
    if (m_shownOnce && !path.isEmpty()) QTimer::singleShot(50, this, &CQuorvaneMain::OpenStartupProject);
}

void CQuorvaneMain::OpenStartupProject() {
    const QString path = m_startupPath;
    m_startupPath.clear();
    if (path.isEmpty()) return;
    CommitPendingBarPosition();
    OnWaitCursor(true);
    const bool ok = m_doc->OpenProject(path);
    OnWaitCursor(false);
    if (!ok) {
        // At start a project that cannot be opened is simply not there.
        m_doc->OnFileCloseProject();
        SetUpperPaneHeight(0);
    }
    UpdateAllViews();
    UpdateCommandStates();
}

void CQuorvaneMain::OpenFileFromOutside(const QString& path) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    if (path.isEmpty()) return;
    m_outsidePath = path;
    QTimer::singleShot(50, this, &CQuorvaneMain::OpenPendingOutsideFile);
}

void CQuorvaneMain::OpenPendingOutsideFile() {
    if (m_outsidePath.isEmpty()) return;
    // A dialog in progress works on the open project: the file waits until it is closed.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(200, this, &CQuorvaneMain::OpenPendingOutsideFile);
        return;
    }
    const QString path = std::exchange(m_outsidePath, QString());
    OpenProjectFile(path);
}

void CQuorvaneMain::OnWaitCursor(bool on) {
    if (on) {
        ++m_waitDepth;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_waitDepth > 0) {
        --m_waitDepth;
        QApplication::restoreOverrideCursor();
    }
}

// ---------------------------------------------------------------- recent files

void CQuorvaneMain::OnRecentFileAdded(const QString& path) {
    m_recent = appsettings::AddRecentFile(m_recent, QFileInfo(path).absoluteFilePath());
    CAppSettings().SaveRecentFiles(m_recent);
    RebuildRecentMenu();
    UpdateTitle();
}

void CQuorvaneMain::RebuildRecentMenu() {
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* a = m_recentActions[i];
        const bool used = i < m_recent.size();
        a->setVisible(used);
        if (used) a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(appsettings::AbbreviatePath(m_recent[i])));
        a->setStatusTip(used ? m_recent[i] : QString());
    }
    if (m_recentSeparator) m_recentSeparator->setVisible(!m_recent.isEmpty());
}

void CQuorvaneMain::OnOpenRecent(int index) {
    if (index < 0 || index >= m_recent.size()) return;
    const QString path = m_recent[index];
    CommitPendingBarPosition(); // the open project closes first
    if (!m_doc->DoOpenProject(path)) {
        // A file that cannot be opened leaves the list.
        m_recent.removeAll(path);
        CAppSettings().SaveRecentFiles(m_recent);
        RebuildRecentMenu();
    }
}

// ---------------------------------------------------------------- file commands

void CQuorvaneMain::OnFileNew() {
    CProjectInfoDlg dlg(m_doc->Prompter(), CProjectInfoDlg::Mode::NewProject, this);
    dlg.SetProjectPath(CQuorvaneDoc::SuggestNewProjectName(QDir::currentPath()));
    if (m_doc->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    if (dlg.ProjectPath().isEmpty()) return;
    CQuorvaneDoc::NewProjectRequest request;
    request.path = dlg.ProjectPath();
    request.description = dlg.Description();
    request.share = dlg.IsShared();
    request.sharedFile = dlg.SharedPath();
    CommitPendingBarPosition(); // the open project closes first
    m_doc->CreateNewProject(request);
    UpdateAllViews();
}

void CQuorvaneMain::OnFileOpen() {
    CPrompter::FileRequest request;
    request.title = QStringLiteral("Open Project");
    request.filter = QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter());
    request.defaultExt = QStringLiteral("qvp");
    const QString path = m_doc->Prompter().GetOpenFileName(request);
    OpenProjectFile(path);
}

void CQuorvaneMain::OpenProjectFile(const QString& path) {
    if (path.isEmpty()) return;
    CommitPendingBarPosition(); // the open project closes first
    m_doc->DoOpenProject(path);
    UpdateAllViews();
}

QString CQuorvaneMain::DroppedProject(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && path.endsWith(QStringLiteral(".qvp"), Qt::CaseInsensitive)) return path;
    }
    return {};
}

void CQuorvaneMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedProject(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CQuorvaneMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedProject(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over, so the program the file came from is not kept waiting.
    QTimer::singleShot(0, this, [this, path] { OpenProjectFile(path); });
}

void CQuorvaneMain::OnFileClose() {
    CommitPendingBarPosition();
    m_doc->OnFileCloseProject();
    UpdateAllViews();
}

void CQuorvaneMain::OnProjectInfo() {
    if (!m_doc->IsProjectOpen()) return;
    CProjectInfoDlg dlg(m_doc->Prompter(), CProjectInfoDlg::Mode::Information, this);
    dlg.SetProjectPath(m_doc->GetPathName());
    dlg.SetShared(m_doc->IsShared(), m_doc->GetSharedFileSpec());
    dlg.SetDescription(m_doc->GetDescription());
    if (m_doc->Prompter().ExecDialog(dlg) == QDialog::Accepted) m_doc->SetDescription(dlg.Description());
}

void CQuorvaneMain::OnFileImportDatabase() {
    if (!StoreTabs()->CanEdit()) return;
    CImportSelectionDlg dlg(true, this);
    if (m_doc->Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    if (dlg.Chosen() == CImportSelectionDlg::Choice::OtherDatabaseFiles) {
        ImportOtherDatabase();
        return;
    }
    const auto outcome = StoreTabs()->ImportStoreMdb();
    if (outcome == CStoreTabCtrl::ExchangeOutcome::Cancelled) return;
    m_doc->Prompter().MessageBox(outcome == CStoreTabCtrl::ExchangeOutcome::Done
                                     ? QStringLiteral("Import completed successfully!")
                                     : QStringLiteral("Import failed to complete!"));
    UpdateAllViews();
}

void CQuorvaneMain::ImportOtherDatabase() {
    CStoreListCtrl* store = StoreTabs()->CurrentStoreList();
    CDatabaseImportMgr mgr(*m_doc, m_doc->Prompter());
    mgr.SetStoreID(store ? store->GetStoreID() : -1);
    // The rows went in beside the lists' recordsets: each list reads its table again.
    CImportDlg ui(m_doc->Prompter(), this, [this, store](const std::array<bool, 4>& imported) {
        const auto requery = [](CListWindow* list) {
            if (!list || !list->CanProceed()) return;
            try {
                list->GetPtrRecordset()->requery();
            } catch (const db::Error& e) {
                Trace(10, e.description());
            }
            list->RefreshListCtrlFromRecordset();
        };
        if (imported[0]) requery(store);
        if (imported[1] || imported[2] || imported[3]) {
            m_view->Invoices()->ReQueryRecordsetAll();
            m_view->Invoices()->ReQueryRecordsetGroups();
            m_view->Customers()->ReQueryRecordsetB();
            requery(m_view->Customers());
        }
    });
    mgr.ImportDatabase(ui);
    UpdateAllViews();
}

void CQuorvaneMain::OnFileExport() {
    if (!StoreTabs()->CanEdit()) return;
    CExportSelectionDlg dlg(this);
    if (m_doc->Prompter().ExecDialog(dlg) != QDialog::Accepted || !dlg.StoreChosen()) return;
    const auto outcome = StoreTabs()->ExportStoreAsMdb();
    if (outcome == CStoreTabCtrl::ExchangeOutcome::Cancelled) return;
    m_doc->Prompter().MessageBox(outcome == CStoreTabCtrl::ExchangeOutcome::Done ? QStringLiteral("Export Complete!")
                                                                              : QStringLiteral("Export Failed!"));
}

QPrinter& CQuorvaneMain::Printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CQuorvaneMain::OnPrintSetup() {
    QPageSetupDialog dlg(&Printer(), this);
    m_doc->Prompter().ExecDialog(dlg);
}

void CQuorvaneMain::OnFilePrint() { m_print->Run(Printer(), false); }

void CQuorvaneMain::OnFilePrintPreview() { m_print->Run(Printer(), true); }

void CQuorvaneMain::OnExit() {
    CommitPendingBarPosition();
    m_doc->OnFileCloseProject();
    close();
}

// ---------------------------------------------------------------- options

void CQuorvaneMain::OnToggleVerifyDelete() { m_doc->OnToggleVerifyDelete(); }

void CQuorvaneMain::OnChangeColumnTitles() {
    if (!m_doc->IsProjectOpen()) return;
    CColumnTitleDlg dlg(
        m_doc->Prompter(),
        [this](CColumnTitleDlg::Kind kind) -> CListWindow* {
            switch (kind) {
            case CColumnTitleDlg::Customer: return m_view->Customers();
            case CColumnTitleDlg::Invoice: return m_view->Invoices();
            case CColumnTitleDlg::InvoiceItems: return m_view->Items();
            case CColumnTitleDlg::Store: return StoreTabs()->CurrentStoreList();
            case CColumnTitleDlg::KindCount: break;
            }
            return nullptr;
        },
        this);
    m_doc->Prompter().ExecDialog(dlg);
}

void CQuorvaneMain::OnSetWindowColors() {
    CColorSelectDlg dlg(m_doc->Prompter(), m_colors.frame, m_colors.text, this);
    if (m_doc->Prompter().ExecDialog(dlg) == QDialog::Accepted) SetCaptionColors(dlg.FrameColor(), dlg.TextColor());
}

// ---------------------------------------------------------------- help

void CQuorvaneMain::OnAbout() {
    CAboutDlg dlg(this);
    m_doc->Prompter().ExecDialog(dlg);
}

int CQuorvaneMain::HelpContextForWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        bool ok = false;
        const int id = w->objectName().toInt(&ok);
        if (ok) return HelpContextForWindowID(id);
    }
    return kMainWindowHelpContext;
}

void CQuorvaneMain::ShowHelp(int context) {
    if (!m_helpWindow) m_helpWindow = new CHelpWindow(this);
    // Shown first, so that the page's pictures are fitted to the window's real width.
    m_helpWindow->show();
    m_helpWindow->ShowTopic(context);
    m_helpWindow->raise();
}

CHelpWindow* CQuorvaneMain::ShowDialogHelp(QDialog* dialog) {
    auto* help = dialog->findChild<CHelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new CHelpWindow(dialog);
    help->show();
    help->ShowPage(helptopics::PageForDialog(dialog->windowTitle()));
    help->raise();
    return help;
}

void CQuorvaneMain::OnHelp() {
    const QWidget* focus = QApplication::focusWidget();
    ShowHelp(focus && focus->window() == this ? HelpContextForWidget(focus) : kMainWindowHelpContext);
}

void CQuorvaneMain::OnWhatsThis() { QWhatsThis::enterWhatsThisMode(); }

bool CQuorvaneMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* dialog = qobject_cast<QDialog*>(static_cast<QWidget*>(watched)->window());
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && dialog &&
            !qobject_cast<CHelpWindow*>(dialog)) {
            // Only this window's dialogs (the help window, another program window: not ours).
            for (const QWidget* w = dialog->parentWidget(); w; w = w->parentWidget())
                if (w == this) {
                    ShowDialogHelp(dialog);
                    return true;
                }
        }
    }
    if ((type == QEvent::WhatsThis || type == QEvent::QueryWhatsThis) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Only this window's parts: the clicked part opens its own help topic.
        if (widget->window() == this) {
            event->accept();
            if (type == QEvent::WhatsThis) {
                if (QWhatsThis::inWhatsThisMode()) QWhatsThis::leaveWhatsThisMode();
                ShowHelp(HelpContextForWidget(widget));
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CQuorvaneMain::OnTraceWindow() {
    delete m_traceWindow;
    m_traceWindow = new CTraceWindow(m_traceSink, this);
    m_traceSink.SetTracing(true);
    m_traceWindow->show();
}
