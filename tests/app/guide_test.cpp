// The built-in guide: a page for every help context and dialog, links that lead somewhere,
// the search, and the help window as a reader uses it.
#include "app/helpcontext.h"
#include "app/helptopics.h"
#include "app/helpwindow.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

// The window identifiers of the lists, bars and store tabs, one of each help range.
constexpr int kWindowIDs[] = {36100, 34200, 34100, 33100, 36200, 36299, 33200, 33230, 34300,
                              34330, 36300, 36330, 36400, 36420, 36500, 36510, 33400, 33460};

// Clicks the first link to `href` on the page on show, as a reader would.
bool ClickLink(QTextBrowser* browser, const QString& href) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(f.position() + f.length() / 2);
            const QPoint at = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    return false;
}

} // namespace

TEST(Guide, EveryHelpContextAndDialogHasAPage) {
    QList<int> contexts{kMainWindowHelpContext, HelpContextForWindowID(123160)};
    for (int id : kWindowIDs) contexts << HelpContextForWindowID(id);
    for (int context : contexts) EXPECT_TRUE(helptopics::PageExists(helptopics::PageForContext(context))) << context;
    for (int context : helptopics::KnownContexts()) EXPECT_TRUE(contexts.contains(context)) << context;
    for (const char* title :
         {"Project Info Dialog", "Customer Info Dialog", "Customer: Multi-Edit Dialog", "Invoice Info Dialog",
          "Invoice: Multi-Edit Dialog", "Store Info Dialog", "Store Item Info Dialog", "Store Items: Multi-Edit Dialog",
          "Store Select Dialog", "Discount Table Dialog", "Containers List Dialog", "Import Selection Dialog",
          "Export Selection Dialog", "Database Source Selection Dialog", "Import Table Mapping Dialog",
          "Entry Mapping Dialog", "Print Selection Dialog", "Column Title Edit Dialog", "Watch Trace Dialog"})
        EXPECT_TRUE(helptopics::PageExists(helptopics::PageForDialog(QLatin1String(title)))) << title;
    EXPECT_TRUE(helptopics::PageForDialog(QStringLiteral("About Quorvane")).isEmpty());
}

TEST(Guide, EveryLinkAndPictureLeadsToSomethingThatExists) {
    static const QRegularExpression target(QStringLiteral("\\]\\(([^)\\s]+)\\)"));
    const QList<helptopics::Page> pages = helptopics::AllPages();
    ASSERT_GT(pages.size(), 25);
    EXPECT_EQ(pages.first().file, helptopics::kContentsPage);
    int links = 0, pictures = 0;
    for (const helptopics::Page& page : pages) {
        EXPECT_NE(page.title, page.file) << "no heading: " << page.file.toStdString();
        const QString text = helptopics::PageText(page.file);
        for (auto m = target.globalMatch(text); m.hasNext();) {
            const QString to = m.next().captured(1).section(u'#', 0, 0);
            if (to.endsWith(QLatin1String(".png"))) {
                EXPECT_FALSE(QImage(QStringLiteral(":/guide/") + to).isNull()) << page.file.toStdString() << " -> " << to.toStdString();
                ++pictures;
            } else {
                EXPECT_TRUE(helptopics::PageExists(to)) << page.file.toStdString() << " -> " << to.toStdString();
                ++links;
            }
        }
    }
    EXPECT_GT(links, 50);
    EXPECT_GT(pictures, 0);
}

TEST(Guide, SearchFindsPagesByTheWordsOfTheirText) {
    const struct {
        const char* query;
        const char* page; // must be among the results; empty: no result at all
    } cases[] = {
        {"Liberation", "printing.md"},              // only in the text
        {"stock BACK order", "back-orders.md"},     // several words, any case
        {"Grp #", "group-orders.md"},
        {"Entry Mapping Dialog", "import.md"},
        {"   ", ""},
        {"zebra stock", ""},                         // every word must occur
        {"images", ""},                              // link targets are not text
    };
    for (const auto& c : cases) {
        QStringList files;
        for (const helptopics::Page& p : helptopics::SearchPages(QLatin1String(c.query))) files << p.file;
        if (*c.page) EXPECT_TRUE(files.contains(QLatin1String(c.page))) << c.query;
        else EXPECT_TRUE(files.isEmpty()) << c.query << ": " << files.join(u' ').toStdString();
    }
    // A word in a title puts that page first.
    EXPECT_EQ(helptopics::SearchPages(QStringLiteral("back orders")).value(0).file, QStringLiteral("back-orders.md"));
}

// The help window on show, as F1 opens it.
class HelpWindowGuide : public ::testing::Test {
protected:
    void SetUp() override {
        help.resize(500, 400);
        help.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    }
    CHelpWindow help;
};

TEST_F(HelpWindowGuide, AContextWithoutAPageShowsTheContents) {
    help.ShowTopic(98636);
    EXPECT_EQ(help.Page(), QStringLiteral("customer-list.md"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Quorvane Help - List of Customers"));
    for (int context : {0, 4242, 131199}) {
        help.ShowTopic(98636);
        help.ShowTopic(context);
        EXPECT_EQ(help.Page(), QStringLiteral("index.md")) << context;
        EXPECT_TRUE(help.Browser()->toPlainText().startsWith(QStringLiteral("Quorvane Guide"))) << context;
    }
    help.ShowPage(QStringLiteral("../secret.md"));
    EXPECT_EQ(help.Page(), QStringLiteral("index.md"));
}

TEST_F(HelpWindowGuide, LinksContentsAndBackWorkAsAReaderUsesThem) {
    help.ShowContents();
    ASSERT_TRUE(ClickLink(help.Browser(), QStringLiteral("back-orders.md")));
    EXPECT_EQ(help.Page(), QStringLiteral("back-orders.md"));
    EXPECT_TRUE(help.Browser()->toPlainText().startsWith(QStringLiteral("Back Orders")));
    ASSERT_TRUE(ClickLink(help.Browser(), QStringLiteral("item-bar.md")));
    EXPECT_EQ(help.Page(), QStringLiteral("item-bar.md"));
    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("helpBack")), Qt::LeftButton);
    EXPECT_EQ(help.Page(), QStringLiteral("back-orders.md"));
    QTest::mouseClick(help.ContentsButton(), Qt::LeftButton);
    EXPECT_EQ(help.Page(), QStringLiteral("index.md"));
}

TEST_F(HelpWindowGuide, PicturesAreFittedToTheWindow) {
    help.ShowPage(QStringLiteral("first-project.md"));
    const QImage picture =
        help.Browser()->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/main-window.png"))).value<QImage>();
    ASSERT_FALSE(picture.isNull());
    EXPECT_LE(picture.width(), help.Browser()->viewport()->width());
    EXPECT_GT(picture.width(), help.Browser()->viewport()->width() / 2);
}

TEST_F(HelpWindowGuide, TypingASearchListsPagesAndChoosingOneOpensIt) {
    help.ShowContents();
    EXPECT_FALSE(help.Results()->isVisible());
    QTest::keyClicks(help.SearchField(), QStringLiteral("exchange file"));
    ASSERT_TRUE(help.Results()->isVisible());
    const QList<QListWidgetItem*> found = help.Results()->findItems(QStringLiteral("The Store Exchange File"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    const QRect at = help.Results()->visualItemRect(found.first());
    QTest::mouseClick(help.Results()->viewport(), Qt::LeftButton, {}, at.center());
    EXPECT_EQ(help.Page(), QStringLiteral("exchange.md"));

    // Enter opens the first match; words that no page holds say so.
    help.SearchField()->clear();
    QTest::keyClicks(help.SearchField(), QStringLiteral("Ctrl+Shift+F12"));
    QTest::keyClick(help.SearchField(), Qt::Key_Return);
    EXPECT_EQ(help.Page(), help.Results()->item(0)->data(Qt::UserRole).toString());
    EXPECT_FALSE(help.Page().isEmpty());
    help.SearchField()->clear();
    QTest::keyClicks(help.SearchField(), QStringLiteral("qwertyuiop"));
    ASSERT_EQ(help.Results()->count(), 1);
    EXPECT_EQ(help.Results()->item(0)->flags(), Qt::NoItemFlags);
}
