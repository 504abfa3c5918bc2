#include "benchutil.h"

#include <QFile>
#include <QTemporaryDir>

void PrintFigure(const char* what, double ours, double reference, const char* unit,
                 const char* goal) {
    std::printf("%-52s %12.3f %-4s  reference %12.3f %-4s  ratio %6.2f%s%s\n", what, ours, unit,
                reference, unit, reference > 0 ? ours / reference : 0.0, goal ? "  goal: " : "",
                goal ? goal : "");
    std::fflush(stdout);
}

QString BenchFolder() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/qvbench-XXXXXX"));
    return dir.path();
}

double ReadBytes(const QString& path, unsigned& sum) {
    Stopwatch sw;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    sum = 0; // touch every byte, as any reader must
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    return sw.seconds();
}
