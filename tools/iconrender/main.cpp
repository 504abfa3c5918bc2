// Build helper: writes the program's picture as a PNG of the given size, for installing.
#include "app/appicon.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int size = args.size() == 3 ? args[1].toInt(&ok) : 0;
    if (!ok || size < 1 || size > 1024) {
        std::fputs("usage: qv_iconrender SIZE FILE.png\n", stderr);
        return 2;
    }
    if (!ProgramImage(size).save(args[2], "PNG")) {
        std::fprintf(stderr, "qv_iconrender: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
