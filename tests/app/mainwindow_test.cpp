// The main window driven as a person would: its menus, the project commands through their
// dialogs, the panes, the keys, the settings it keeps and the project named at start.
#include "apptest.h"
#include "app/helpcontext.h"
#include "app/colorselectdlg.h"
#include "app/helpwindow.h"
#include "app/projectinfodlg.h"
#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "app/quorvaneview2.h"
#include "customers/customerlistctrl.h"
#include "db/database.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "listwin/buttonbar.h"
#include "scriptedprompter.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "trace/tracewindow.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QWhatsThis>

namespace {

int ClickOk(QDialog& d) {
    auto* ok = d.findChild<QPushButton*>(QStringLiteral("IDOK"));
    EXPECT_NE(ok, nullptr) << d.objectName().toStdString();
    if (ok) ok->click();
    return d.result();
}

void SetEdit(QDialog& d, const char* name, const QString& text) {
    auto* edit = d.findChild<QLineEdit*>(QLatin1String(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
}

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isVisible()) texts << a->text();
    return texts;
}

int ProjectRowValue(const QString& path, const char* field) {
    db::Database file;
    file.open(path, true);
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [Project]"));
    rs.moveLast();
    return rs.intValue(QLatin1String(field));
}

} // namespace

class MainWindow : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        frame->resize(1000, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override { frame.reset(); }

    CQuorvaneDoc& Doc() { return frame->Doc(); }
    bool Enabled(const char* name) {
        frame->UpdateCommandStates();
        QAction* a = frame->Action(name);
        EXPECT_NE(a, nullptr) << name;
        return a && a->isEnabled();
    }
    QMenu* Menu(const char* name) { return frame->menuBar()->findChild<QMenu*>(QLatin1String(name)); }

    // File > New Project, with the Project Info Dialog filled in by the script.
    QString NewProject(const QString& name, const QString& description = QStringLiteral("Corner shop")) {
        const QString path = folder.path(name);
        prompter.ExpectDialog([&](QDialog& d) {
            auto* dlg = qobject_cast<CProjectInfoDlg*>(&d);
            EXPECT_NE(dlg, nullptr);
            if (!dlg) return 0;
            EXPECT_EQ(dlg->GetMode(), CProjectInfoDlg::Mode::NewProject);
            EXPECT_TRUE(dlg->ProjectEdit()->text().endsWith(QStringLiteral(".qvp")));
            dlg->ProjectEdit()->setText(path);
            dlg->DescriptionEdit()->setPlainText(description);
            return ClickOk(d);
        });
        frame->Action("actionNewProject")->trigger();
        EXPECT_TRUE(prompter.AllAnswered());
        return path;
    }

    void AddCustomer(const QString& name) {
        prompter.ExpectDialog([&](QDialog& d) {
            SetEdit(d, "editName", name);
            return ClickOk(d);
        });
        ASSERT_TRUE(Enabled("actionAddCustomer"));
        frame->Action("actionAddCustomer")->trigger();
    }

    void AddStore(const QString& tab) {
        prompter.ExpectDialog([&](QDialog& d) {
            SetEdit(d, "editStoreTabName", tab);
            return ClickOk(d);
        });
        ASSERT_TRUE(Enabled("actionAddStore"));
        frame->Action("actionAddStore")->trigger();
    }

    // Drags the handle between the panes down by dy pixels with the mouse; the new upper height.
    int DragSplitter(int dy) {
        QSplitterHandle* handle = frame->Splitter()->handle(1);
        EXPECT_NE(handle, nullptr);
        if (!handle) return -1;
        // Positions as the mouse sees them: where the handle was when the drag began.
        const QPoint start(handle->width() / 2, handle->height() / 2);
        const QPoint origin = handle->mapToGlobal(QPoint(0, 0));
        const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
            QMouseEvent e(type, local, origin + local, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
            QApplication::sendEvent(handle, &e);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(0, dy / 2), Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(0, dy), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + QPoint(0, dy), Qt::NoButton);
        return frame->UpperPaneHeight();
    }

    void PressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(target, key, modifiers);
    }

    CScriptedPrompter prompter;
    std::unique_ptr<CQuorvaneMain> frame;
};

TEST_F(MainWindow, MenusHoldTheirCommandsInOrder) {
    EXPECT_EQ(MenuTexts(Menu("menuFile")),
              (QStringList{"&New Project...", "&Open Project...", "&Close Project", "Project In&fo...", "&Import...",
                           "&Export...", "&Print...", "Print Pre&view", "P&rint Setup...", "E&xit"}));
    EXPECT_EQ(MenuTexts(Menu("menuEdit")),
              (QStringList{"Add &Store Item...", "Edit Store Item...", "Delete Store Item...", "Add C&ustomer...",
                           "Edit Customer...", "Delete Customer...", "Add &Invoice...", "Edit Invoice...",
                           "Delete Invoice...", "&Add Store...", "&Edit Store...", "&Delete Store...",
                           "&Copy Store Item(s)...", "&Move Store Item(s)..."}));
    EXPECT_EQ(MenuTexts(Menu("menuView")),
              (QStringList{"&Toolbar", "&Status Bar", "&Containers List...", "&Discount Table(s)..."}));
    EXPECT_EQ(MenuTexts(Menu("menuOptions")),
              (QStringList{"Verify Delete", "Change Column Titles...", "Set Window Colors..."}));
    EXPECT_EQ(MenuTexts(Menu("menuHelp")), (QStringList{"&About Quorvane...", "Help Topics"}));
    EXPECT_EQ(frame->Action("actionNewProject")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(frame->Action("actionAddCustomer")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    QStringList tools;
    for (QAction* a : frame->ToolBar()->actions())
        if (!a->isSeparator()) tools << a->text();
    EXPECT_EQ(tools, (QStringList{"&New Project...", "&Open Project...", "&Print...", "Print Pre&view", "What's This"}));
}

TEST_F(MainWindow, WithoutAProjectOnlyFileCommandsAreOpen) {
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_EQ(frame->UpperPaneHeight(), 0);
    EXPECT_FALSE(frame->LowerView()->StoresShown());
    for (const char* on : {"actionNewProject", "actionOpenProject", "actionPrintSetup", "actionExit",
                           "actionVerifyDelete", "actionAbout", "actionHelpTopics"})
        EXPECT_TRUE(Enabled(on)) << on;
    for (const char* off : {"actionCloseProject", "actionProjectInfo", "actionImport", "actionExport", "actionPrint",
                            "actionPrintPreview", "actionAddStoreItem", "actionEditStoreItem", "actionDeleteStoreItem",
                            "actionAddCustomer", "actionEditCustomer", "actionDeleteCustomer", "actionAddInvoice",
                            "actionEditInvoice", "actionDeleteInvoice", "actionAddStore", "actionEditStore",
                            "actionDeleteStore", "actionCopyStoreItems", "actionMoveStoreItems",
                            "actionContainersList", "actionDiscountTables", "actionColumnTitles",
                            "actionWindowColors"})
        EXPECT_FALSE(Enabled(off)) << off;
}

TEST_F(MainWindow, NewProjectShowsTheListsAndOpensTheEditCommandsStepByStep) {
    const QString path = NewProject(QStringLiteral("shop.qvp"));
    ASSERT_TRUE(Doc().IsProjectOpen());
    EXPECT_EQ(Doc().GetPathName(), path);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane - shop.qvp"));
    EXPECT_EQ(frame->UpperPaneHeight(), 380);
    CQuorvaneView* upper = frame->UpperView();
    for (QWidget* w : {static_cast<QWidget*>(upper->Customers()), static_cast<QWidget*>(upper->CustomerBar()),
                       static_cast<QWidget*>(upper->Invoices()), static_cast<QWidget*>(upper->InvoiceBar()),
                       static_cast<QWidget*>(upper->Items()), upper->ItemBar()})
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(frame->StoreTabs()->isVisible());
    EXPECT_EQ(frame->RecentFiles().value(0), path);

    // One empty store, no customers.
    EXPECT_TRUE(Enabled("actionAddStoreItem"));
    EXPECT_FALSE(Enabled("actionEditStoreItem"));
    EXPECT_TRUE(Enabled("actionAddCustomer"));
    EXPECT_FALSE(Enabled("actionEditCustomer"));
    EXPECT_FALSE(Enabled("actionAddInvoice"));
    EXPECT_TRUE(Enabled("actionAddStore"));
    EXPECT_TRUE(Enabled("actionEditStore"));
    EXPECT_FALSE(Enabled("actionDeleteStore"));
    for (const char* on : {"actionCloseProject", "actionProjectInfo", "actionColumnTitles", "actionWindowColors",
                           "actionContainersList", "actionDiscountTables", "actionImport", "actionExport"})
        EXPECT_TRUE(Enabled(on)) << on;
    // Copy and move need a second store.
    for (const char* off : {"actionCopyStoreItems", "actionMoveStoreItems"})
        EXPECT_FALSE(Enabled(off)) << off;

    AddCustomer(QStringLiteral("Ann Archer"));
    EXPECT_EQ(upper->Customers()->GetItemCount(), 1);
    EXPECT_TRUE(Enabled("actionEditCustomer"));
    EXPECT_TRUE(Enabled("actionDeleteCustomer"));
    // An invoice needs something to buy.
    EXPECT_FALSE(Enabled("actionAddInvoice"));

    CStoreListCtrl* store = frame->StoreTabs()->CurrentStoreList();
    ASSERT_NE(store, nullptr);
    store->Table().AddRow({{QStringLiteral("ID"), 1}, {QStringLiteral("ItemCode"), QStringLiteral("F1")},
                           {QStringLiteral("Description"), QStringLiteral("Flour")}});
    store->RefreshListCtrlFromRecordset();
    EXPECT_TRUE(Enabled("actionAddInvoice"));
    EXPECT_TRUE(Enabled("actionEditStoreItem"));
    EXPECT_FALSE(Enabled("actionEditInvoice"));
    EXPECT_FALSE(Enabled("actionDeleteInvoice"));

    AddStore(QStringLiteral("Hardware"));
    EXPECT_EQ(frame->StoreTabs()->GetStoreCount(), 2);
    EXPECT_TRUE(Enabled("actionDeleteStore"));
    EXPECT_TRUE(Enabled("actionCopyStoreItems"));
    EXPECT_TRUE(Enabled("actionMoveStoreItems"));
    EXPECT_TRUE(prompter.m_unexpected.isEmpty()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
}

TEST_F(MainWindow, CustomerBarButtonsWorkOnTheCustomerList) {
    NewProject(QStringLiteral("bar.qvp"));
    prompter.ExpectDialog([](QDialog& d) {
        SetEdit(d, "editName", QStringLiteral("Bo Baker"));
        return ClickOk(d);
    });
    frame->UpperView()->CustomerBar()->NewButton()->click();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(frame->UpperView()->Customers()->GetItemCount(), 1);
}

TEST_F(MainWindow, ClosingCollapsesTheUpperPaneAndHidesTheLists) {
    NewProject(QStringLiteral("close.qvp"));
    ASSERT_EQ(frame->UpperPaneHeight(), 380);
    frame->Action("actionCloseProject")->trigger();
    EXPECT_FALSE(Doc().IsProjectOpen());
    EXPECT_EQ(frame->UpperPaneHeight(), 0);
    EXPECT_FALSE(frame->UpperView()->Customers()->isVisible());
    EXPECT_FALSE(frame->StoreTabs()->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_FALSE(Enabled("actionCloseProject"));
    EXPECT_FALSE(Enabled("actionAddCustomer"));
    EXPECT_FALSE(Enabled("actionAddStore"));
}

TEST_F(MainWindow, DraggedSplitterReachesTheDocumentOnlyFromTheUser) {
    const QString path = NewProject(QStringLiteral("drag.qvp"));
    // The window being resized moves nothing the document keeps.
    frame->resize(1000, 700);
    QApplication::processEvents();
    frame->CommitBarPosition();
    EXPECT_EQ(Doc().GetBarPosition(), 380);

    const int dragged = DragSplitter(60);
    EXPECT_EQ(dragged, 440);
    // The drag is written once it rests.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Doc().GetBarPosition() == dragged; }, 5000));
    EXPECT_EQ(ProjectRowValue(path, "BarPosition"), dragged);

    frame->Action("actionCloseProject")->trigger();
    prompter.ExpectFile(path);
    frame->Action("actionOpenProject")->trigger();
    ASSERT_TRUE(Doc().IsProjectOpen());
    EXPECT_EQ(frame->UpperPaneHeight(), dragged);
}

TEST_F(MainWindow, APaneHeightDraggedJustBeforeClosingIsKept) {
    const QString path = NewProject(QStringLiteral("quick.qvp"));
    // Closed before the drag has rested: by the command, then with the window.
    EXPECT_EQ(DragSplitter(60), 440);
    frame->Action("actionCloseProject")->trigger();
    EXPECT_EQ(ProjectRowValue(path, "BarPosition"), 440);

    prompter.ExpectFile(path);
    frame->Action("actionOpenProject")->trigger();
    ASSERT_TRUE(Doc().IsProjectOpen());
    EXPECT_EQ(frame->UpperPaneHeight(), 440);
    EXPECT_EQ(DragSplitter(-100), 340);
    frame->close();
    EXPECT_EQ(ProjectRowValue(path, "BarPosition"), 340);
}

TEST_F(MainWindow, AProjectFileDroppedOnTheWindowIsOpened) {
    const QString project = folder.path(QStringLiteral("dropped.qvp"));
    {
        CQuorvaneDoc doc(&prompter);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = project;
        ASSERT_TRUE(doc.CreateNewProject(request));
    }
    const QString notes = folder.path(QStringLiteral("notes.txt"));
    QFile(notes).open(QIODevice::WriteOnly);
    EXPECT_TRUE(frame->acceptDrops());

    // Dragged in, then dropped in the middle of the window; true when the window took it.
    const auto dragAndDrop = [&](const QStringList& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& f : files) urls << QUrl::fromLocalFile(f);
        data.setUrls(urls);
        const QPoint at = frame->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &drop);
        QApplication::processEvents();
        return enter.isAccepted() && drop.isAccepted();
    };
    EXPECT_FALSE(dragAndDrop({notes}));
    EXPECT_FALSE(Doc().IsProjectOpen());

    EXPECT_TRUE(dragAndDrop({notes, project}));
    EXPECT_TRUE(Doc().IsProjectOpen());
    EXPECT_EQ(Doc().GetPathName(), project);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane - dropped.qvp"));
    EXPECT_EQ(frame->UpperPaneHeight(), 380);
    EXPECT_EQ(frame->RecentFiles().value(0), project);

    // A damaged one is refused as Open refuses it.
    const QString damaged = folder.path(QStringLiteral("damaged.qvp"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a project");
    file.close();
    prompter.Expect(QStringLiteral("Failed to open project."));
    EXPECT_TRUE(dragAndDrop({damaged}));
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_FALSE(Doc().IsProjectOpen());
}

TEST_F(MainWindow, HiddenBarsStayHiddenInTheNextRun) {
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->ToolBar()->isVisible());
    EXPECT_TRUE(frame->statusBar()->isVisible());
    EXPECT_TRUE(frame->Action("actionToolbar")->isChecked());
    frame->Action("actionToolbar")->trigger();
    frame->Action("actionStatusBar")->trigger();
    frame->close();

    const auto nextRun = [&](bool toolBar, bool statusBar) {
        CQuorvaneMain next(&prompter);
        next.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
        next.UpdateCommandStates();
        EXPECT_EQ(next.ToolBar()->isVisible(), toolBar);
        EXPECT_EQ(next.statusBar()->isVisible(), statusBar);
        EXPECT_EQ(next.Action("actionToolbar")->isChecked(), toolBar);
        EXPECT_EQ(next.Action("actionStatusBar")->isChecked(), statusBar);
        next.Action("actionToolbar")->trigger(); // shown again for the run after
        next.close();
    };
    nextRun(false, false);
    nextRun(true, false);
}

TEST_F(MainWindow, APlacementStoredOffTheScreenComesBackOnIt) {
    const QRect screen = frame->screen()->availableGeometry();
    for (const char* stored : {"5000 4000 5700 4500", "-900 -800 -200 -300"}) {
        SCOPED_TRACE(stored);
        Settings().setValue(QStringLiteral("Frame Window/Frame Rect"), QString::fromLatin1(stored));
        CQuorvaneMain next(&prompter);
        EXPECT_TRUE(screen.contains(next.geometry())) << next.geometry().x() << "," << next.geometry().y();
        EXPECT_EQ(next.geometry().size(), QSize(700, 500));
    }
}

TEST_F(MainWindow, VerifyDeleteFollowsTheDocumentAndIsWrittenToTheFile) {
    QAction* verify = frame->Action("actionVerifyDelete");
    const QString path = NewProject(QStringLiteral("verify.qvp"));
    frame->UpdateCommandStates();
    EXPECT_TRUE(verify->isChecked());
    verify->trigger();
    EXPECT_FALSE(Doc().IsVerifyOn());
    EXPECT_FALSE(verify->isChecked());
    EXPECT_EQ(ProjectRowValue(path, "VerifyDelete"), 0);

    frame->Action("actionCloseProject")->trigger();
    frame->UpdateCommandStates();
    EXPECT_TRUE(verify->isChecked()); // no project: the default
    prompter.ExpectFile(path);
    frame->Action("actionOpenProject")->trigger();
    ASSERT_TRUE(Doc().IsProjectOpen());
    ASSERT_FALSE(prompter.m_fileRequests.empty());
    EXPECT_EQ(prompter.m_fileRequests.back().filter, QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter()));
    frame->UpdateCommandStates();
    EXPECT_FALSE(verify->isChecked());
    verify->trigger();
    EXPECT_TRUE(verify->isChecked());
    EXPECT_EQ(ProjectRowValue(path, "VerifyDelete"), 1);
}

TEST_F(MainWindow, ProjectInfoChangesOnlyTheDescription) {
    const QString path = NewProject(QStringLiteral("info.qvp"), QStringLiteral("Corner shop"));
    prompter.ExpectDialog([&](QDialog& d) {
        auto* dlg = qobject_cast<CProjectInfoDlg*>(&d);
        EXPECT_NE(dlg, nullptr);
        if (!dlg) return 0;
        EXPECT_EQ(dlg->GetMode(), CProjectInfoDlg::Mode::Information);
        EXPECT_EQ(dlg->ProjectEdit()->text(), path);
        EXPECT_FALSE(dlg->ProjectEdit()->isEnabled());
        EXPECT_FALSE(dlg->ShareBox()->isEnabled());
        EXPECT_FALSE(dlg->ProjectBrowse()->isEnabled());
        EXPECT_FALSE(dlg->SharedBrowse()->isEnabled());
        EXPECT_EQ(dlg->Description(), QStringLiteral("Corner shop"));
        dlg->DescriptionEdit()->setPlainText(QStringLiteral("Market stall"));
        return ClickOk(d);
    });
    frame->Action("actionProjectInfo")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(Doc().GetDescription(), QStringLiteral("Market stall"));
    EXPECT_EQ(Doc().GetPathName(), path);

    // Cancel keeps it.
    prompter.ExpectDialog([](QDialog& d) {
        auto* dlg = qobject_cast<CProjectInfoDlg*>(&d);
        if (dlg) dlg->DescriptionEdit()->setPlainText(QStringLiteral("Thrown away"));
        return int(QDialog::Rejected);
    });
    frame->Action("actionProjectInfo")->trigger();
    EXPECT_EQ(Doc().GetDescription(), QStringLiteral("Market stall"));
}

TEST_F(MainWindow, AboutBoxGoesThroughTheSeam) {
    bool shown = false;
    prompter.ExpectDialog([&](QDialog& d) {
        QStringList texts;
        bool picture = false;
        for (QLabel* l : d.findChildren<QLabel*>()) {
            texts << l->text();
            picture = picture || !l->pixmap().isNull();
        }
        EXPECT_TRUE(texts.contains(QStringLiteral("Quorvane Version 1.0")));
        EXPECT_TRUE(picture);
        shown = true;
        return ClickOk(d);
    });
    frame->Action("actionAbout")->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainWindow, WindowColoursGoToTheListsAndTheSettings) {
    NewProject(QStringLiteral("colours.qvp"));
    prompter.ExpectDialog([&](QDialog& d) {
        prompter.ExpectColor(0x0000FF);
        d.findChild<QPushButton*>(QStringLiteral("buttonFrameColor"))->click();
        return ClickOk(d);
    });
    frame->Action("actionWindowColors")->trigger();
    EXPECT_EQ(frame->CaptionColors(), (appsettings::CaptionColors{0x0000FF, 0xFFFFFF}));
    EXPECT_EQ(CListWindow::FrameColor(), 0x0000FFu);
    EXPECT_EQ(frame->UpperView()->Customers()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // A cancelled choice keeps them.
    prompter.ExpectDialog([&](QDialog& d) {
        prompter.ExpectColor(0x00FF00);
        d.findChild<QPushButton*>(QStringLiteral("buttonTextColor"))->click();
        return int(QDialog::Rejected);
    });
    frame->Action("actionWindowColors")->trigger();
    EXPECT_EQ(frame->CaptionColors(), (appsettings::CaptionColors{0x0000FF, 0xFFFFFF}));

    frame->close();
    QSettings s = Settings();
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/ChildCapFrameColor")).toString(), QStringLiteral("255"));
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/ChildCapTextColor")).toString(), QStringLiteral("16777215"));
    CListWindow::SetFrameColor(appsettings::kDefaultFrameColor);
}

TEST_F(MainWindow, ExitClosesTheProjectAndTheWindowAndKeepsThePlacement) {
    NewProject(QStringLiteral("exit.qvp"));
    frame->setGeometry(40, 50, 700, 500);
    QApplication::processEvents();
    frame->Action("actionExit")->trigger();
    EXPECT_FALSE(Doc().IsProjectOpen());
    EXPECT_FALSE(frame->isVisible());
    QSettings s = Settings();
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/Frame Rect")).toString(), QStringLiteral("0040 0050 0740 0550"));
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/Maximized")).toString(), QStringLiteral("0"));
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/Iconic")).toString(), QStringLiteral("0"));

    // The next window comes up where this one was.
    CQuorvaneMain next(&prompter);
    EXPECT_EQ(next.geometry(), QRect(40, 50, 700, 500));
    EXPECT_EQ(next.RecentFiles().value(0), folder.path(QStringLiteral("exit.qvp")));
}

TEST_F(MainWindow, TraceKeyOpensANewWindowThatFollowsTheLevel) {
    ASSERT_EQ(GetTraceSink(), &frame->TraceSink());
    PressKey(frame.get(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    QPointer<CTraceWindow> first = frame->TraceWindow();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Watch Trace Dialog"));
    EXPECT_TRUE(frame->TraceSink().IsTracing());

    first->LevelBox()->setValue(20);
    EXPECT_EQ(frame->TraceSink().Threshold(), 20u);
    NewProject(QStringLiteral("trace.qvp"));
    EXPECT_EQ(first->List()->count(), 0);

    first->LevelBox()->setValue(0);
    frame->Action("actionCloseProject")->trigger();
    const int lines = first->List()->count();
    EXPECT_GT(lines, 0);
    EXPECT_EQ(lines, int(frame->TraceSink().Lines().size()));
    EXPECT_EQ(first->List()->item(lines - 1)->text(), frame->TraceSink().Lines().back());

    // OK hides the window; the lines keep coming.
    first->OkButton()->click();
    EXPECT_FALSE(first->isVisible());
    NewProject(QStringLiteral("trace2.qvp"));
    EXPECT_GT(int(frame->TraceSink().Lines().size()), lines);

    first->EraseButton()->click();
    EXPECT_EQ(first->List()->count(), 0);
    EXPECT_TRUE(frame->TraceSink().Lines().empty());

    // A window opened again starts empty, then shows what comes.
    frame->Action("actionCloseProject")->trigger();
    ASSERT_FALSE(frame->TraceSink().Lines().empty());
    PressKey(frame.get(), Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(first.isNull());
    CTraceWindow* second = frame->TraceWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->List()->count(), 0);
    EXPECT_TRUE(frame->TraceSink().Lines().empty());
    prompter.ExpectFile(folder.path(QStringLiteral("trace2.qvp")));
    frame->Action("actionOpenProject")->trigger();
    EXPECT_GT(second->List()->count(), 0);
    EXPECT_EQ(second->List()->item(0)->text(), QStringLiteral("CQuorvaneDoc::OpenProject()"));
}

TEST_F(MainWindow, F1OpensTheTopicOfTheWindowWithTheFocus) {
    NewProject(QStringLiteral("help.qvp"));
    CCustomerListCtrl* customers = frame->UpperView()->Customers();
    customers->setFocus();
    PressKey(customers, Qt::Key_F1);
    ASSERT_NE(frame->HelpWindow(), nullptr);
    EXPECT_TRUE(frame->HelpWindow()->isVisible());
    EXPECT_EQ(frame->HelpWindow()->Topic(), 98636);
    EXPECT_TRUE(frame->HelpWindow()->Browser()->toPlainText().contains(QStringLiteral("customer"), Qt::CaseInsensitive));

    // Shift+F1, then a click: the clicked part opens its topic.
    PressKey(customers, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWidget* button = frame->UpperView()->InvoiceBar()->NewButton();
    QHelpEvent click(QEvent::WhatsThis, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button, &click);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(frame->HelpWindow()->Topic(), 99836);

    EXPECT_EQ(CQuorvaneMain::HelpContextForWidget(frame->UpperView()->CustomerBar()->EditButton()), 98736);
    EXPECT_EQ(CQuorvaneMain::HelpContextForWidget(frame->StoreTabs()->CurrentStoreList()), 101736);
    EXPECT_EQ(CQuorvaneMain::HelpContextForWidget(frame->StoreTabs()->TabBar()), 101636);
    EXPECT_EQ(CQuorvaneMain::HelpContextForWidget(frame->LowerView()), kMainWindowHelpContext);
}

TEST_F(MainWindow, F1OnEachPartOpensItsGuidePage) {
    NewProject(QStringLiteral("guide.qvp"));
    CQuorvaneView* view = frame->UpperView();
    const struct {
        QWidget* widget;
        const char* page;
        const char* heading;
    } cases[] = {
        {view->Customers(), "customer-list.md", "List of Customers"},
        {view->Invoices(), "invoice-list.md", "List of Invoices"},
        {view->Items(), "invoice-items.md", "Items on Current Invoice"},
        {frame->StoreTabs()->CurrentStoreList(), "store-items.md", "List of Store Items"},
        {view->InvoiceBar()->NewButton(), "invoice-buttons.md", "Invoice Buttons"},
    };
    for (const auto& c : cases) {
        c.widget->setFocus();
        PressKey(c.widget, Qt::Key_F1);
        ASSERT_NE(frame->HelpWindow(), nullptr);
        EXPECT_EQ(frame->HelpWindow()->Page(), QLatin1String(c.page));
        EXPECT_TRUE(frame->HelpWindow()->Browser()->toPlainText().startsWith(QLatin1String(c.heading))) << c.page;
    }
}

TEST_F(MainWindow, F1InADialogOpensTheDialogsPageBesideIt) {
    NewProject(QStringLiteral("dialoghelp.qvp"));
    CColorSelectDlg dlg(prompter, 0x800000, 0xFFFFFF, frame.get());
    dlg.show();
    QApplication::setActiveWindow(&dlg); // as a modal dialog is
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    ASSERT_EQ(QApplication::activeWindow(), &dlg);
    auto* button = dlg.findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    auto* help = dlg.findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Page(), QStringLiteral("columns.md"));
    EXPECT_EQ(frame->HelpWindow(), nullptr);

    // A dialog the guide has no page for opens the contents.
    dlg.setWindowTitle(QStringLiteral("Some Other Dialog"));
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_EQ(help->Page(), QStringLiteral("index.md"));
    EXPECT_EQ(dlg.findChildren<CHelpWindow*>().size(), 1);
}

TEST_F(MainWindow, F6MovesTheFocusBetweenThePanes) {
    NewProject(QStringLiteral("panes.qvp"));
    CCustomerListCtrl* customers = frame->UpperView()->Customers();
    customers->setFocus();
    PressKey(customers, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame->StoreTabs()->CurrentStoreList());
    PressKey(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), customers);
}

class StartupProject : public AppTest {
protected:
    CScriptedPrompter prompter;
};

TEST_F(StartupProject, MissingPathLeavesNoProjectAndNoMessage) {
    CQuorvaneMain frame(&prompter);
    frame.SetStartupProject(folder.path(QStringLiteral("missing.qvp")));
    frame.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.StartupPending(); }, 5000));
    EXPECT_FALSE(frame.Doc().IsProjectOpen());
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_EQ(frame.UpperPaneHeight(), 0);
    EXPECT_TRUE(frame.RecentFiles().isEmpty());
}

TEST_F(StartupProject, ExistingProjectOpensOnceTheWindowIsUp) {
    const QString path = folder.path(QStringLiteral("start.qvp"));
    {
        CQuorvaneDoc doc(&prompter);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        ASSERT_TRUE(doc.CreateNewProject(request));
    }
    CQuorvaneMain frame(&prompter);
    frame.SetStartupProject(path);
    // Nothing happens before the window is shown.
    QApplication::processEvents();
    EXPECT_FALSE(frame.Doc().IsProjectOpen());
    frame.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.StartupPending(); }, 5000));
    EXPECT_TRUE(frame.Doc().IsProjectOpen());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Quorvane - start.qvp"));
    EXPECT_TRUE(frame.StoreTabs()->isVisible());
    EXPECT_EQ(frame.RecentFiles().value(0), path);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
