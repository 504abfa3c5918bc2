#include "app/commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>

QuorvaneCommandLine ParseQuorvaneCommandLine(const QStringList& arguments, const QString& version) {
    QuorvaneCommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Take customer orders, buy from several stores and bill by invoice.\n"
        "When the program is already running, FILE goes to it and this start ends."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    QCommandLineOption demo(QStringLiteral("demo-screenshots"), QStringLiteral("Take the demo pictures."),
                            QStringLiteral("DIR"));
    demo.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, versionOption, demo});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The project file (.qvp) to open."),
                                 QStringLiteral("[FILE]"));

    const QString program = arguments.isEmpty() ? QStringLiteral("quorvane") : QFileInfo(arguments[0]).fileName();
    if (!parser.parse(arguments)) {
        result.action = QuorvaneCommandLine::Action::Error;
        result.text = QStringLiteral("%1: %2\nTry '%1 --help'.").arg(program, parser.errorText());
        return result;
    }
    if (parser.isSet(help)) {
        result.action = QuorvaneCommandLine::Action::Help;
        result.text = QStringLiteral("Usage: %1 [options] [FILE]\n").arg(program) +
                      parser.helpText().section(QLatin1Char('\n'), 1);
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.action = QuorvaneCommandLine::Action::Version;
        result.text = QStringLiteral("%1 %2").arg(program, version);
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = QuorvaneCommandLine::Action::Error;
        result.text = QStringLiteral("%1: one FILE at most, got %2\nTry '%1 --help'.").arg(program).arg(files.size());
        return result;
    }
    if (!files.isEmpty()) result.file = files[0];
    result.demoDir = parser.value(demo);
    return result;
}
