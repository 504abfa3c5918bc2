#include "import/codepage.h"

#include <gtest/gtest.h>

using import::DecodeCodePage;

TEST(CodePage, DecodesTheDosAndWindowsCodePagesLetterForLetter) {
    struct Case {
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {437, QByteArray("\x82t\x82", 3), QStringLiteral("\u00e9t\u00e9")},
        {850, QByteArray("\x9b", 1), QStringLiteral("\u00f8")},
        {852, QByteArray("\xa5", 1), QStringLiteral("\u0105")},
        {866, QByteArray("\x8f\xe0\xa8", 3), QStringLiteral("\u041f\u0440\u0438")},
        {1250, QByteArray("\x9a", 1), QStringLiteral("\u0161")},
        {1251, QByteArray("\xc4\xe0", 2), QStringLiteral("\u0414\u0430")},
        {1252, QByteArray("caf\xe9 \x80", 6), QStringLiteral("caf\u00e9 \u20ac")},
        {65001, QByteArray("caf\xc3\xa9", 5), QStringLiteral("caf\u00e9")},
        {99999, QByteArray("\xe9", 1), QStringLiteral("\u00e9")}, // unknown: as 1252
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeCodePage(c.bytes, c.codePage), c.text) << c.codePage;
    // A byte the code page leaves undefined does not stop the rest.
    EXPECT_EQ(DecodeCodePage(QByteArray("a\x81z", 3), 1252), QStringLiteral("a\ufffdz"));
    EXPECT_TRUE(import::IsValidUtf8(QByteArray("caf\xc3\xa9", 5)));
    EXPECT_FALSE(import::IsValidUtf8(QByteArray("caf\xe9", 4)));
}
