// Where the upper view puts its lists, how the button bars size their buttons, and which
// help topic each window opens.
#include "app/helpcontext.h"
#include "app/viewlayout.h"
#include "listwin/buttonbar.h"

#include <gtest/gtest.h>

TEST(UpperViewLayout, TallPaneSharesTheHeightAmongTheThreeLists) {
    // d = 900 - 60 - 102 = 738, e = 246.
    const UpperViewRects r = UpperViewLayout(1000, 900, 20);
    EXPECT_EQ(r.customerList, QRect(3, 23, 994, 246));
    EXPECT_EQ(r.customerBar, QRect(3, 269, 994, 30));
    EXPECT_EQ(r.invoiceList, QRect(3, 322, 994, 246));
    EXPECT_EQ(r.invoiceBar, QRect(3, 568, 994, 30));
    EXPECT_EQ(r.itemList, QRect(3, 621, 994, 246));
    EXPECT_EQ(r.itemBar, QRect(3, 867, 994, 30));
    // Each list sits one caption below the bar above it, and the last bar ends inside the pane.
    EXPECT_EQ(r.invoiceList.top() - r.customerBar.bottom() - 1, 20 + 3);
    EXPECT_EQ(r.itemList.top() - r.invoiceBar.bottom() - 1, 20 + 3);
    EXPECT_LE(r.itemBar.bottom(), 900);
}

TEST(UpperViewLayout, LowPaneStillGivesTheFirstTwoListsAHundredPixels) {
    // d = 380 - 75 - 102 = 203: a third would be 67.
    const UpperViewRects r = UpperViewLayout(800, 380, 25);
    EXPECT_EQ(r.customerList.height(), 100);
    EXPECT_EQ(r.invoiceList.height(), 100);
    EXPECT_EQ(r.itemList, QRect(3, 75 + 200 + 69, 794, 3));
    EXPECT_EQ(r.itemBar.top(), 203 + 75 + 69);
}

TEST(UpperViewLayout, ItemListGetsNothingWhenThePaneIsTooLow) {
    const UpperViewRects r = UpperViewLayout(640, 250, 20);
    EXPECT_EQ(r.customerList.height(), 100);
    EXPECT_EQ(r.invoiceList.height(), 100);
    EXPECT_EQ(r.itemList.height(), 0);
    EXPECT_EQ(r.customerList.width(), 634);
}

TEST(UpperViewLayout, ThirdsRoundDown) {
    // d = 1000 - 30 - 102 = 868: e = 289, the item list gets the extra pixel.
    const UpperViewRects r = UpperViewLayout(500, 1000, 10);
    EXPECT_EQ(r.customerList.height(), 289);
    EXPECT_EQ(r.itemList.height(), 290);
}

TEST(LowerViewLayout, StoreTabsFillThePaneBelowTheirCaption) {
    EXPECT_EQ(LowerViewStoreRect(900, 500, 20), QRect(3, 23, 894, 474));
    EXPECT_EQ(LowerViewStoreRect(900, 60, 20), QRect(3, 23, 894, 100));
}

TEST(ButtonBarLayout, NarrowBarsGetNarrowerButtonsAndShorterLabels) {
    const CButtonBar::Layout l = CButtonBar::LayoutFor(150);
    EXPECT_EQ(l.buttonWidth, 40);
    EXPECT_EQ(l.left, 5);
    EXPECT_STREQ(l.labels[0], "New");
    EXPECT_STREQ(l.labels[1], "Edit");
    EXPECT_STREQ(l.labels[2], "Del");

    // At each boundary the three buttons, 10 apart, fill the bar; one pixel less drops a size.
    struct Case {
        int width, buttonWidth, left;
        const char* del;
    };
    for (const Case& c : {Case{260, 80, 0, "Delete"}, Case{259, 60, 29, "Del"}, Case{200, 60, 0, "Del"},
                          Case{199, 40, 29, "Del"}, Case{140, 40, 0, "Del"}, Case{139, 20, 29, "D"}}) {
        const CButtonBar::Layout b = CButtonBar::LayoutFor(c.width);
        EXPECT_EQ(b.buttonWidth, c.buttonWidth) << c.width;
        EXPECT_EQ(b.left, c.left) << c.width;
        EXPECT_STREQ(b.labels[2], c.del) << c.width;
    }
    EXPECT_STREQ(CButtonBar::LayoutFor(139).labels[0], "N");
}

TEST(HelpContext, ListsAndTheirBarsOpenTheirTopics) {
    EXPECT_EQ(HelpContextForWindowID(36100), 101636);
    EXPECT_EQ(HelpContextForWindowID(34200), 99736);
    EXPECT_EQ(HelpContextForWindowID(34100), 99636);
    EXPECT_EQ(HelpContextForWindowID(33100), 98636);
    for (int id : {36200, 36250, 36299}) EXPECT_EQ(HelpContextForWindowID(id), 101736) << id;
    for (int id : {33200, 33210, 33230}) EXPECT_EQ(HelpContextForWindowID(id), 98736) << id;
    for (int id : {34300, 34330}) EXPECT_EQ(HelpContextForWindowID(id), 99836) << id;
    for (int id : {36300, 36330}) EXPECT_EQ(HelpContextForWindowID(id), 101836) << id;
    for (int id : {36400, 36420}) EXPECT_EQ(HelpContextForWindowID(id), 101936) << id;
    for (int id : {36500, 36510}) EXPECT_EQ(HelpContextForWindowID(id), 102036) << id;
    for (int id : {33400, 33460}) EXPECT_EQ(HelpContextForWindowID(id), 98936) << id;
}

TEST(HelpContext, NumbersOutsideTheRangesPassUnchanged) {
    for (int id : {0, 128, 33099, 33231, 33461, 34101, 34331, 36511, 36421, 36331, 40000})
        EXPECT_EQ(HelpContextForWindowID(id), id) << id;
}

TEST(HelpContext, FrameResourcesAndTheFileGroupAreFolded) {
    EXPECT_EQ(HelpContextForWindowID(387071), 387071);
    EXPECT_EQ(HelpContextForWindowID(387072), 131200);
    EXPECT_EQ(HelpContextForWindowID(387327), 131200);
    EXPECT_EQ(HelpContextForWindowID(387328), 387328);
    EXPECT_EQ(HelpContextForWindowID(123151), 123151);
    EXPECT_EQ(HelpContextForWindowID(123160), 123152);
    EXPECT_EQ(HelpContextForWindowID(123167), 123152);
    EXPECT_EQ(HelpContextForWindowID(123168), 123168);
}
