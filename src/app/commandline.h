#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for.
struct QuorvaneCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString file;    // the project to open, as given
    QString demoDir; // the hidden picture-taking run (scripts/screenshots.sh)
    QString text;    // the help text, the version line or the error message
};

// Parses the program's arguments (the first is the program itself). Needs no running application.
QuorvaneCommandLine ParseQuorvaneCommandLine(const QStringList& arguments, const QString& version);
