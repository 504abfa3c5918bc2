// What the program reads back from its settings file, damaged or not.
#include "apptest.h"
#include "app/appsettings.h"

#include <QFile>
#include <QSet>

using namespace appsettings;

TEST(FrameRectText, ValidTextGivesItsFourEdges) {
    const FrameRect fallback = DefaultFrameRect(1000, 800);
    EXPECT_EQ(ParseFrameRect(QStringLiteral("0012 0034 0567 0489"), fallback), (FrameRect{12, 34, 567, 489}));
    // Only the four positions count; what follows is ignored.
    EXPECT_EQ(ParseFrameRect(QStringLiteral("0012 0034 0567 0489 trailing"), fallback), (FrameRect{12, 34, 567, 489}));
    EXPECT_EQ(ParseFrameRect(QStringLiteral("-005 0010 0700 0500"), fallback), (FrameRect{-5, 10, 700, 500}));
}

TEST(FrameRectText, DefaultIsTenTenAndNineTenthsOfTheScreen) {
    EXPECT_EQ(DefaultFrameRect(1000, 800), (FrameRect{10, 10, 900, 720}));
    EXPECT_EQ(DefaultFrameRect(1366, 768), (FrameRect{10, 10, 1229, 691}));
}

TEST(FrameRectText, DamagedOrShortTextGivesTheDefault) {
    const FrameRect fallback = DefaultFrameRect(1000, 800);
    for (const char* text : {"", "0010 0010 0900", "0010 0010 0900 072", "0010 00x0 0900 0720",
                             "abcd efgh ijkl mnop", "0900 0010 0010 0720", "0010 0720 0900 0010"})
        EXPECT_EQ(ParseFrameRect(QString::fromLatin1(text), fallback), fallback) << text;
}

TEST(FrameRectText, FormatReadsBackToTheSameRect) {
    const FrameRect r{7, 8, 1207, 908};
    EXPECT_EQ(FormatFrameRect(r), QStringLiteral("0007 0008 1207 0908"));
    EXPECT_EQ(ParseFrameRect(FormatFrameRect(r), {}), r);
}

TEST(FrameRectText, ARectOffTheScreenIsPulledOntoIt) {
    const QRect screen(0, 0, 1000, 800);
    const struct {
        FrameRect stored, shown;
    } cases[] = {
        {{20, 30, 820, 630}, {20, 30, 820, 630}},         // inside: kept
        {{3000, 2500, 3700, 3000}, {300, 300, 1000, 800}}, // beyond the right and bottom edges
        {{-900, -700, -200, -200}, {0, 0, 700, 500}},      // beyond the left and top edges
        {{900, 10, 1300, 400}, {600, 10, 1000, 400}},      // partly off: moved in whole
        {{-50, -50, 1500, 1200}, {0, 0, 1000, 800}},       // larger than the screen: shrunk to it
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitFrameRect(c.stored, screen), c.shown) << FormatFrameRect(c.stored).toStdString();
    // A second screen to the left of the first.
    EXPECT_EQ(FitFrameRect({-2000, 0, -1500, 400}, QRect(-1280, 0, 1280, 1024)), (FrameRect{-1280, 0, -780, 400}));
}

TEST(CaptionColorText, EitherNonZeroTakesBoth) {
    EXPECT_EQ(ParseCaptionColors(QStringLiteral("255"), QStringLiteral("0")), (CaptionColors{255, 0}));
    EXPECT_EQ(ParseCaptionColors(QStringLiteral("0"), QStringLiteral("65280")), (CaptionColors{0, 65280}));
    EXPECT_EQ(ParseCaptionColors(QStringLiteral("128"), QStringLiteral("16776960")), (CaptionColors{128, 16776960}));
}

TEST(CaptionColorText, TwoZerosOrNothingGiveNavyAndWhite) {
    const CaptionColors defaults{8388608, 16777215};
    EXPECT_EQ(ParseCaptionColors(QStringLiteral("0"), QStringLiteral("0")), defaults);
    EXPECT_EQ(ParseCaptionColors(QString(), QString()), defaults);
    EXPECT_EQ(ParseCaptionColors(QStringLiteral("navy"), QStringLiteral("white")), defaults);
}

TEST(RecentFileList, PruningStopsAtTheFirstGapAndDropsMissingFiles) {
    const QSet<QString> present{"/a.qvp", "/c.qvp", "/e.qvp"};
    const auto exists = [&](const QString& f) { return present.contains(f); };
    EXPECT_EQ(PruneRecentFiles({"/a.qvp", "/b.qvp", "/c.qvp", "", "/e.qvp"}, exists),
              (QStringList{"/a.qvp", "/c.qvp"}));
    EXPECT_EQ(PruneRecentFiles({"/b.qvp", "/d.qvp"}, exists), QStringList());
}

TEST(RecentFileList, AnOpenedFileGoesFirstOnceAndFourAreKept) {
    QStringList list;
    for (const char* f : {"/1.qvp", "/2.qvp", "/3.qvp", "/4.qvp", "/5.qvp"}) list = AddRecentFile(list, QString::fromLatin1(f));
    EXPECT_EQ(list, (QStringList{"/5.qvp", "/4.qvp", "/3.qvp", "/2.qvp"}));
    EXPECT_EQ(AddRecentFile(list, QStringLiteral("/3.qvp")), (QStringList{"/3.qvp", "/5.qvp", "/4.qvp", "/2.qvp"}));
}

TEST(RecentFileList, LongPathsAreShortenedKeepingTheFileName) {
    EXPECT_EQ(AbbreviatePath(QStringLiteral("/home/ann/shop.qvp")), QStringLiteral("/home/ann/shop.qvp"));
    const QString shortened = AbbreviatePath(QStringLiteral("/home/ann/projects/market/2024/spring/shop.qvp"));
    EXPECT_LE(shortened.size(), 30);
    EXPECT_EQ(shortened, QStringLiteral("/.../2024/spring/shop.qvp"));
    // A file name too long for the menu is all that is left.
    EXPECT_EQ(AbbreviatePath(QStringLiteral("/x/a_very_long_project_file_name_indeed.qvp")).size(), 30);
}

class SettingsFile : public AppTest {};

TEST_F(SettingsFile, RecentListIsPrunedAndWrittenBackAtStart) {
    const QString a = folder.path(QStringLiteral("a.qvp"));
    const QString c = folder.path(QStringLiteral("c.qvp"));
    for (const QString& f : {a, c}) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    {
        QSettings s = Settings();
        s.setValue(QStringLiteral("Recent File List/File1"), a);
        s.setValue(QStringLiteral("Recent File List/File2"), folder.path(QStringLiteral("gone.qvp")));
        s.setValue(QStringLiteral("Recent File List/File3"), c);
        s.setValue(QStringLiteral("Recent File List/File5"), c); // after the gap: never read
    }
    CAppSettings settings;
    EXPECT_EQ(settings.LoadRecentFiles(), (QStringList{a, c}));
    settings.Sync();
    QSettings s = Settings();
    EXPECT_EQ(s.value(QStringLiteral("Recent File List/File1")).toString(), a);
    EXPECT_EQ(s.value(QStringLiteral("Recent File List/File2")).toString(), c);
    EXPECT_FALSE(s.contains(QStringLiteral("Recent File List/File3")));
}

TEST_F(SettingsFile, MissingValuesGiveTheDefaults) {
    CAppSettings settings;
    EXPECT_EQ(settings.FrameRect(1000, 800), (FrameRect{10, 10, 900, 720}));
    EXPECT_FALSE(settings.Iconic());
    EXPECT_FALSE(settings.Maximized());
    EXPECT_EQ(settings.PreviewPages(), 0);
    EXPECT_EQ(settings.CaptionColors(), (CaptionColors{8388608, 16777215}));
    EXPECT_TRUE(settings.LoadRecentFiles().isEmpty());
}

TEST_F(SettingsFile, WrittenPlacementAndColoursReadBack) {
    {
        CAppSettings settings;
        settings.SaveFramePlacement({20, 30, 820, 630}, false, true);
        settings.SaveCaptionColors({255, 65535});
    }
    QSettings s = Settings();
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/Frame Rect")).toString(), QStringLiteral("0020 0030 0820 0630"));
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/ChildCapFrameColor")).toString(), QStringLiteral("255"));
    EXPECT_EQ(s.value(QStringLiteral("Frame Window/ChildCapTextColor")).toString(), QStringLiteral("65535"));
    CAppSettings settings;
    EXPECT_EQ(settings.FrameRect(1000, 800), (FrameRect{20, 30, 820, 630}));
    EXPECT_TRUE(settings.Maximized());
    EXPECT_FALSE(settings.Iconic());
    EXPECT_EQ(settings.CaptionColors(), (CaptionColors{255, 65535}));
}

TEST_F(SettingsFile, DamagedFileFallsBackToDefaults) {
    QFile file(settingsFolder.path(QStringLiteral("Pellor Software/Quorvane.ini")));
    QDir().mkpath(settingsFolder.path(QStringLiteral("Pellor Software")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Frame%20Window]\nFrame%20Rect=12, 34\nIconic=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5)\n"
               "Maximized=yes\nChildCapFrameColor=0\nChildCapTextColor=0\n\x01\x02garbage\n[Settings\n"
               "PreviewPages=many\n[Recent%20File%20List]\nFile1=\n");
    file.close();
    CAppSettings settings;
    EXPECT_EQ(settings.FrameRect(1000, 800), (FrameRect{10, 10, 900, 720}));
    EXPECT_FALSE(settings.Iconic());
    EXPECT_FALSE(settings.Maximized());
    EXPECT_EQ(settings.PreviewPages(), 0);
    EXPECT_EQ(settings.CaptionColors(), (CaptionColors{8388608, 16777215}));
    EXPECT_TRUE(settings.LoadRecentFiles().isEmpty());
}
