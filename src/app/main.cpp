#include "app/appicon.h"
#include "app/commandline.h"
#include "app/demodriver.h"
#include "app/quorvanemain.h"
#include "app/singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

void SetNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pellor Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
}

} // namespace

int main(int argc, char* argv[]) {
    QuorvaneCommandLine line;
    QString handOver; // the absolute path a running program gets
    {
        // No window system yet: --help, --version and the hand-over work in a bare terminal
        // and a second start ends without ever touching the display.
        QCoreApplication core(argc, argv);
        SetNames();
        line = ParseQuorvaneCommandLine(QCoreApplication::arguments(), QStringLiteral(QV_VERSION));
        switch (line.action) {
        case QuorvaneCommandLine::Action::Help:
        case QuorvaneCommandLine::Action::Version:
            std::fputs(qPrintable(line.text + QLatin1Char('\n')), stdout);
            return 0;
        case QuorvaneCommandLine::Action::Error:
            std::fputs(qPrintable(line.text + QLatin1Char('\n')), stderr);
            return 2;
        case QuorvaneCommandLine::Action::Run: break;
        }
        if (!line.file.isEmpty()) handOver = QFileInfo(line.file).absoluteFilePath();
        if (line.demoDir.isEmpty() &&
            singleinstance::SendToRunningProgram(handOver) == singleinstance::HandOver::Delivered)
            return 0;
    }

    QApplication app(argc, argv);
    SetNames();
    QGuiApplication::setDesktopFileName(QStringLiteral(QV_APP_ID));
    QApplication::setWindowIcon(ProgramIcon());

    // The picture-taking run stays apart from the user's running program.
    CInstanceServer server;
    if (line.demoDir.isEmpty() && !server.Listen() &&
        singleinstance::SendToRunningProgram(handOver) == singleinstance::HandOver::Delivered)
        return 0; // another start came up in between
    // Without the socket the program still runs, only on its own.

    CQuorvaneMain frame;
    QObject::connect(&server, &CInstanceServer::fileReceived, &frame, &CQuorvaneMain::OpenFileFromOutside);
    if (!line.file.isEmpty()) frame.SetStartupProject(line.file);
    frame.show();
    if (!line.demoDir.isEmpty()) StartDemoScreenshots(frame, line.demoDir);
    return app.exec();
}
