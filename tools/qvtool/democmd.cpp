// qvtool demo: a demo project made through the program's own operations, on windows that are
// never shown.
#include "democmd.h"

#include "app/demoproject.h"
#include "output.h"

#include <QApplication>
#include <QElapsedTimer>

int RunDemoCommand(int argc, char* argv[]) {
    // The lists are real widgets: they need a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    const QString usage = QStringLiteral("usage: qvtool demo PATH [--customers N] [--seed S]");
    DemoOptions options;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QLatin1String("--customers") && i + 1 < args.size()) {
            options.customers = args[++i].toInt(&ok);
            ok = ok && options.customers >= 1 && options.customers <= 1000000;
        } else if (a == QLatin1String("--seed") && i + 1 < args.size()) {
            options.seed = args[++i].toUInt(&ok);
        } else if (path.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            path = a;
        } else {
            ok = false;
        }
        if (!ok) return qvtool::Fail(usage);
    }
    if (path.isEmpty()) return qvtool::Fail(usage);
    QElapsedTimer clock;
    clock.start();
    QString failure;
    if (!MakeDemoProject(path, options, &failure)) return qvtool::Fail(failure);
    qvtool::Out(QStringLiteral("made %1 with %2 customers in %3 s")
                    .arg(path)
                    .arg(options.customers)
                    .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    return 0;
}
