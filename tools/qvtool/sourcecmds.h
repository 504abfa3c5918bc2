#pragma once

#include <QStringList>

// The qvtool commands that look into an outside database as the import sees it; -1 when the
// arguments are not one of them.
int RunSourceCommand(const QString& command, const QStringList& args);
