#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pellor Software"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QLabel label(QStringLiteral("Quorvane"));
    label.setWindowTitle(QStringLiteral("Quorvane"));
    label.resize(640, 480);
    label.show();
    return app.exec();
}
