#include "testutil.h"

#include <QDir>

QString SamplesDir() {
    const QDir dir(QStringLiteral(QV_SAMPLES_DIR));
    return dir.exists() ? dir.absolutePath() : QString();
}
