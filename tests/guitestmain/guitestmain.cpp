#include <QApplication>
#include <gtest/gtest.h>

// Window tests need a QApplication; they run on the offscreen platform without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pellor Software"));
    QApplication::setApplicationName(QStringLiteral("QuorvaneTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
