#pragma once

#include <QStringList>

// qvtool import PROJECT SOURCE --into WHAT --from TABLE ...: an outside table into the project;
// -1 when the arguments are off.
int RunImportCommand(const QStringList& args);
