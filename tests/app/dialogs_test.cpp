// The main window's own dialogs: project info, column titles, and the Qt side of the seam.
#include "apptest.h"
#include "app/columntitledlg.h"
#include "app/projectinfodlg.h"
#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "scriptedprompter.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "ui/qtprompter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

TEST(QtSeam, FiltersBecomeQtFilters) {
    EXPECT_EQ(CQtPrompter::QtFilter(QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter())),
              QStringLiteral("Quorvane Files (*.qvp);;All Files (*.*)"));
    EXPECT_EQ(CQtPrompter::QtFilter(QStringLiteral("Price lists|*.txt;*.csv||")),
              QStringLiteral("Price lists (*.txt *.csv)"));
    EXPECT_EQ(CQtPrompter::QtFilter(QString()), QString());
}

TEST(QtSeam, ColoursKeepRedInTheLowByte) {
    EXPECT_EQ(CQtPrompter::ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(CQtPrompter::ToQColor(8388608), QColor(0, 0, 128));
    EXPECT_EQ(CQtPrompter::FromQColor(QColor(0, 0, 255)), 0xFF0000u);
    EXPECT_EQ(CQtPrompter::FromQColor(CQtPrompter::ToQColor(0x123456)), 0x123456u);
}

class ProjectInfoDialog : public AppTest {
protected:
    CScriptedPrompter prompter;
};

TEST_F(ProjectInfoDialog, ShareBoxOpensAndClosesTheSharedFileControls) {
    CProjectInfoDlg dlg(prompter, CProjectInfoDlg::Mode::NewProject);
    dlg.SetProjectPath(QStringLiteral("/tmp/NewProject_1.qvp"));
    EXPECT_EQ(dlg.ProjectPath(), QStringLiteral("/tmp/NewProject_1.qvp"));
    EXPECT_FALSE(dlg.ShareBox()->isChecked());
    EXPECT_FALSE(dlg.SharedEdit()->isEnabled());
    EXPECT_TRUE(dlg.SharedEdit()->isReadOnly());
    EXPECT_FALSE(dlg.SharedBrowse()->isEnabled());
    EXPECT_FALSE(dlg.SharedLabel()->isEnabled());
    EXPECT_TRUE(dlg.ProjectBrowse()->isEnabled());

    dlg.ShareBox()->click();
    EXPECT_TRUE(dlg.SharedEdit()->isEnabled());
    EXPECT_FALSE(dlg.SharedEdit()->isReadOnly());
    EXPECT_TRUE(dlg.SharedBrowse()->isEnabled());
    EXPECT_TRUE(dlg.SharedLabel()->isEnabled());
    dlg.SharedEdit()->setText(QStringLiteral("/srv/shop.qvp"));
    EXPECT_TRUE(dlg.IsShared());
    EXPECT_EQ(dlg.SharedPath(), QStringLiteral("/srv/shop.qvp"));

    dlg.ShareBox()->click();
    EXPECT_TRUE(dlg.SharedEdit()->text().isEmpty());
    EXPECT_FALSE(dlg.SharedEdit()->isEnabled());
    EXPECT_FALSE(dlg.SharedBrowse()->isEnabled());
    EXPECT_FALSE(dlg.SharedLabel()->isEnabled());
    EXPECT_FALSE(dlg.IsShared());
}

TEST_F(ProjectInfoDialog, BrowseButtonsFillTheirEditsThroughTheSeam) {
    CProjectInfoDlg dlg(prompter, CProjectInfoDlg::Mode::NewProject);
    dlg.SetProjectPath(QStringLiteral("/tmp/NewProject_1.qvp"));
    prompter.ExpectFile(QStringLiteral("/home/ann/market.qvp"));
    dlg.ProjectBrowse()->click();
    EXPECT_EQ(dlg.ProjectPath(), QStringLiteral("/home/ann/market.qvp"));
    ASSERT_EQ(prompter.m_fileRequests.size(), 1u);
    EXPECT_EQ(prompter.m_fileRequests[0].filter, QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter()));
    EXPECT_EQ(prompter.m_fileRequests[0].defaultExt, QStringLiteral("qvp"));
    EXPECT_EQ(prompter.m_fileRequests[0].initialPath, QStringLiteral("/tmp/NewProject_1.qvp"));

    // A cancelled chooser leaves the text.
    dlg.ProjectBrowse()->click();
    EXPECT_EQ(dlg.ProjectPath(), QStringLiteral("/home/ann/market.qvp"));

    dlg.ShareBox()->click();
    prompter.ExpectFile(QStringLiteral("/srv/shared.qvp"));
    dlg.SharedBrowse()->click();
    EXPECT_EQ(dlg.SharedPath(), QStringLiteral("/srv/shared.qvp"));
    EXPECT_EQ(prompter.m_fileRequests.back().filter, QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter()));
}

TEST_F(ProjectInfoDialog, InformationModeShowsTheSharedFileAndEditsOnlyTheDescription) {
    CProjectInfoDlg dlg(prompter, CProjectInfoDlg::Mode::Information);
    dlg.SetProjectPath(QStringLiteral("/home/ann/mine.qvp"));
    dlg.SetShared(true, QStringLiteral("/srv/shop.qvp"));
    dlg.SetDescription(QStringLiteral("Shared with the shop"));
    EXPECT_TRUE(dlg.ProjectEdit()->isReadOnly());
    EXPECT_FALSE(dlg.ProjectEdit()->isEnabled());
    EXPECT_FALSE(dlg.ShareBox()->isEnabled());
    EXPECT_TRUE(dlg.ShareBox()->isChecked());
    EXPECT_EQ(dlg.SharedEdit()->text(), QStringLiteral("/srv/shop.qvp"));
    EXPECT_TRUE(dlg.SharedEdit()->isReadOnly());
    EXPECT_FALSE(dlg.ProjectBrowse()->isEnabled());
    EXPECT_FALSE(dlg.SharedBrowse()->isEnabled());
    EXPECT_TRUE(dlg.DescriptionEdit()->isEnabled());
    EXPECT_FALSE(dlg.DescriptionEdit()->isReadOnly());
    EXPECT_EQ(dlg.Description(), QStringLiteral("Shared with the shop"));
}

TEST_F(ProjectInfoDialog, EnterAloneDoesNotCloseItCtrlEnterAccepts) {
    CProjectInfoDlg dlg(prompter, CProjectInfoDlg::Mode::NewProject);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(dlg.ProjectEdit(), Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(dlg.ProjectEdit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

// The column title dialog on the lists of a real project.
class ColumnTitles : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        frame->resize(1000, 900);
        frame->show();
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(QStringLiteral("titles.qvp"));
        ASSERT_TRUE(frame->Doc().CreateNewProject(request));
    }
    void TearDown() override { frame.reset(); }

    // Runs the dialog from the Options menu with the script's steps.
    void RunDialog(const std::function<void(CColumnTitleDlg&)>& steps) {
        bool ran = false;
        prompter.ExpectDialog([&](QDialog& d) {
            auto* dlg = qobject_cast<CColumnTitleDlg*>(&d);
            EXPECT_NE(dlg, nullptr);
            if (!dlg) return 0;
            ran = true;
            steps(*dlg);
            return d.result();
        });
        frame->UpdateCommandStates();
        ASSERT_TRUE(frame->Action("actionColumnTitles")->isEnabled());
        frame->Action("actionColumnTitles")->trigger();
        EXPECT_TRUE(ran);
    }
    static QStringList Lines(CColumnTitleDlg& dlg) {
        QStringList lines;
        for (int i = 0; i < dlg.List()->count(); ++i) lines << dlg.List()->item(i)->text();
        return lines;
    }
    static int LineWithTitle(CColumnTitleDlg& dlg, const QString& title, int from = 0) {
        for (int i = from; i < dlg.List()->count(); ++i)
            if (CColumnTitleDlg::TitleOfLine(dlg.List()->item(i)->text()) == title) return i;
        return -1;
    }
    static void Rename(CColumnTitleDlg& dlg, int row, const QString& title) {
        dlg.List()->setCurrentRow(row);
        dlg.NewTitleEdit()->setText(title);
        dlg.findChild<QPushButton*>(QStringLiteral("buttonApply"))->click();
    }
    static void Click(CColumnTitleDlg& dlg, const char* button) { dlg.findChild<QPushButton*>(QLatin1String(button))->click(); }
    CCustomerListCtrl* Customers() { return frame->UpperView()->Customers(); }
    QString CustomerTitle(int column) { return Customers()->Columns().Definitions()[size_t(column)].Title; }

    CScriptedPrompter prompter;
    std::unique_ptr<CQuorvaneMain> frame;
};

TEST_F(ColumnTitles, ListShowsEachColumnOfTheChosenKindInIndexOrder) {
    RunDialog([&](CColumnTitleDlg& dlg) {
        EXPECT_TRUE(dlg.KindButton(CColumnTitleDlg::Customer)->isChecked());
        const std::vector<ColumnDef>& defs = Customers()->Columns().Definitions();
        const QStringList lines = Lines(dlg);
        ASSERT_EQ(lines.size(), int(defs.size()));
        for (int i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], defs[size_t(i)].Title + QLatin1Char('\t') + defs[size_t(i)].Description);
        dlg.List()->setCurrentRow(1);
        EXPECT_EQ(dlg.CurrentTitleEdit()->text(), defs[1].Title);
        EXPECT_TRUE(dlg.CurrentTitleEdit()->isReadOnly());

        dlg.SelectKind(CColumnTitleDlg::Store);
        EXPECT_EQ(dlg.List()->count(), int(frame->StoreTabs()->CurrentStoreList()->Columns().Definitions().size()));
        Click(dlg, "IDCANCEL");
    });
    EXPECT_TRUE(prompter.m_shown.isEmpty());
}

TEST_F(ColumnTitles, ApplyRenamesOnlyTheFirstOfTwoEqualTitles) {
    int first = -1, second = -1;
    RunDialog([&](CColumnTitleDlg& dlg) {
        first = LineWithTitle(dlg, QStringLiteral("Address"));
        second = LineWithTitle(dlg, QStringLiteral("Address"), first + 1);
        ASSERT_GE(first, 0);
        ASSERT_GT(second, first);
        const QString secondLine = dlg.List()->item(second)->text();
        // Chosen from the second line, the title still names the first.
        Rename(dlg, second, QStringLiteral("Street"));
        EXPECT_EQ(CColumnTitleDlg::TitleOfLine(dlg.List()->item(first)->text()), QStringLiteral("Street"));
        EXPECT_EQ(dlg.List()->item(second)->text(), secondLine);
        EXPECT_EQ(dlg.List()->currentRow(), first);
        EXPECT_EQ(dlg.CurrentTitleEdit()->text(), QStringLiteral("Street"));
        EXPECT_TRUE(dlg.IsChanged());
        Click(dlg, "IDOK");
    });
    ASSERT_GE(first, 0);
    ASSERT_GT(second, first);
    EXPECT_EQ(CustomerTitle(first), QStringLiteral("Street"));
    EXPECT_EQ(CustomerTitle(second), QStringLiteral("Address"));

    // Stored with the project.
    const QString path = frame->Doc().GetPathName();
    frame->Action("actionCloseProject")->trigger();
    ASSERT_TRUE(frame->Doc().DoOpenProject(path));
    EXPECT_EQ(CustomerTitle(first), QStringLiteral("Street"));
    EXPECT_EQ(CustomerTitle(second), QStringLiteral("Address"));
}

TEST_F(ColumnTitles, EmptyNewTitleChangesNothingAndLongOnesAreCut) {
    const std::vector<ColumnDef> before = Customers()->Columns().Definitions();
    RunDialog([&](CColumnTitleDlg& dlg) {
        const QStringList lines = Lines(dlg);
        Rename(dlg, 2, QString());
        EXPECT_EQ(Lines(dlg), lines);
        EXPECT_FALSE(dlg.IsChanged());
        Click(dlg, "IDOK");
    });
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(CustomerTitle(int(i)), before[i].Title) << i;

    RunDialog([&](CColumnTitleDlg& dlg) {
        Rename(dlg, 2, QStringLiteral("Twenty-one characters"));
        Click(dlg, "IDOK");
    });
    EXPECT_EQ(CustomerTitle(2), QStringLiteral("Twenty-one character"));
}

TEST_F(ColumnTitles, SwitchingKindAnsweredNoDropsTheChange) {
    const QString original = CustomerTitle(1);
    RunDialog([&](CColumnTitleDlg& dlg) {
        Rename(dlg, 1, QStringLiteral("Client"));
        prompter.Expect(QStringLiteral("Save changes before switching?"), CPrompter::Answer::No);
        dlg.SelectKind(CColumnTitleDlg::Invoice);
        EXPECT_TRUE(prompter.AllAnswered());
        EXPECT_EQ(prompter.m_buttons.back(), CPrompter::Buttons::YesNo);
        EXPECT_EQ(dlg.List()->count(), int(frame->UpperView()->Invoices()->Columns().Definitions().size()));
        EXPECT_FALSE(dlg.IsChanged());
        Click(dlg, "IDOK");
    });
    EXPECT_EQ(CustomerTitle(1), original);
}

TEST_F(ColumnTitles, SwitchingKindAnsweredYesStoresItAndTheHeaderShowsIt) {
    const int shown = Customers()->Columns().Slots()[0].ColumnIndex;
    RunDialog([&](CColumnTitleDlg& dlg) {
        Rename(dlg, shown, QStringLiteral("Client"));
        prompter.Expect(QStringLiteral("Save changes before switching?"), CPrompter::Answer::Yes);
        dlg.SelectKind(CColumnTitleDlg::InvoiceItems);
        EXPECT_TRUE(prompter.AllAnswered());
        // Stored at once, before the dialog closes.
        EXPECT_EQ(CustomerTitle(shown), QStringLiteral("Client"));
        Click(dlg, "IDCANCEL");
    });
    EXPECT_EQ(CustomerTitle(shown), QStringLiteral("Client"));
    EXPECT_EQ(Customers()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Client"));
}

TEST_F(ColumnTitles, SameKindAgainReloadsWithoutAskingAndKeepsTheTitleFields) {
    const QString original = CustomerTitle(4);
    RunDialog([&](CColumnTitleDlg& dlg) {
        Rename(dlg, 4, QStringLiteral("Town"));
        EXPECT_EQ(CColumnTitleDlg::TitleOfLine(dlg.List()->item(4)->text()), QStringLiteral("Town"));
        dlg.SelectKind(CColumnTitleDlg::Customer);
        EXPECT_TRUE(prompter.m_shown.isEmpty());
        EXPECT_EQ(CColumnTitleDlg::TitleOfLine(dlg.List()->item(4)->text()), original);
        EXPECT_EQ(dlg.CurrentTitleEdit()->text(), QStringLiteral("Town"));
        EXPECT_EQ(dlg.NewTitleEdit()->text(), QStringLiteral("Town"));
        EXPECT_FALSE(dlg.IsChanged());
        Click(dlg, "IDOK");
    });
    EXPECT_EQ(CustomerTitle(4), original);
}

TEST_F(ColumnTitles, CancelDropsAppliedChanges) {
    const QString original = CustomerTitle(5);
    RunDialog([&](CColumnTitleDlg& dlg) {
        Rename(dlg, 5, QStringLiteral("Region"));
        EXPECT_TRUE(dlg.IsChanged());
        Click(dlg, "IDCANCEL");
    });
    EXPECT_EQ(CustomerTitle(5), original);
}

TEST_F(ColumnTitles, StoreKindWorksOnTheCurrentStoresList) {
    CStoreListCtrl* store = frame->StoreTabs()->CurrentStoreList();
    ASSERT_NE(store, nullptr);
    RunDialog([&](CColumnTitleDlg& dlg) {
        dlg.SelectKind(CColumnTitleDlg::Store);
        Rename(dlg, 0, QStringLiteral("SKU"));
        Click(dlg, "IDOK");
    });
    EXPECT_EQ(store->Columns().Definitions()[0].Title, QStringLiteral("SKU"));
    EXPECT_NE(CustomerTitle(0), QStringLiteral("SKU"));
}
