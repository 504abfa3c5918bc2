#include "app/appicon.h"
#include "app/demodriver.h"
#include "app/quorvanemain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pellor Software"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(ProgramIcon());

    QString project;
    QString demoDir;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--demo-screenshots") && i + 1 < args.size()) demoDir = args[++i];
        else if (!args[i].startsWith(QLatin1Char('-'))) project = args[i];
    }

    CQuorvaneMain frame;
    if (!project.isEmpty()) frame.SetStartupProject(project);
    frame.show();
    if (!demoDir.isEmpty()) StartDemoScreenshots(frame, demoDir);
    return app.exec();
}
