// The command lines of both programs, run as a person runs them from a terminal.
#include "apptest.h"
#include "app/commandline.h"

#include <QProcess>

namespace {

struct Ran {
    int status = -1;
    QString out, err;
};

// Without a display or a platform named: --help and --version must not need one.
Ran Start(const char* program, const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(QLatin1String(program), args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

TEST(CommandLine, HelpAndVersionOfBothPrograms) {
    struct Case {
        const char* program;
        QStringList args;
        QStringList inOutput;
    };
    const QString quorvaneVersion = QStringLiteral("quorvane " QV_VERSION "\n");
    const QString qvtoolVersion = QStringLiteral("qvtool " QV_VERSION "\n");
    const Case cases[] = {
        {QV_QUORVANE_PATH, {QStringLiteral("--help")}, {QStringLiteral("Usage: quorvane [options] [FILE]"), QStringLiteral("--version"), QStringLiteral("FILE")}},
        {QV_QUORVANE_PATH, {QStringLiteral("-h")}, {QStringLiteral("--help")}},
        {QV_QUORVANE_PATH, {QStringLiteral("--version")}, {quorvaneVersion}},
        {QV_QUORVANE_PATH, {QStringLiteral("-v")}, {quorvaneVersion}},
        {QV_QVTOOL_PATH, {QStringLiteral("--help")}, {QStringLiteral("qvtool new PATH"), QStringLiteral("qvtool demo PATH"), QStringLiteral("--version")}},
        {QV_QVTOOL_PATH, {QStringLiteral("--version")}, {qvtoolVersion}},
        {QV_QVTOOL_PATH, {QStringLiteral("-v")}, {qvtoolVersion}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + (' ' + c.args.join(QLatin1Char(' ')).toStdString()));
        const Ran r = Start(c.program, c.args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        for (const QString& text : c.inOutput) EXPECT_TRUE(r.out.contains(text)) << r.out.toStdString();
        if (c.inOutput.first().endsWith(QLatin1Char('\n'))) {
            EXPECT_EQ(r.out, c.inOutput.first());
        }
    }
    // The picture-taking switch stays out of sight.
    EXPECT_FALSE(Start(QV_QUORVANE_PATH, {QStringLiteral("--help")}).out.contains(QStringLiteral("demo")));
}

TEST(CommandLine, WrongArgumentsEndWithStatus2AndSayWhy) {
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{QStringLiteral("--bogus")}, QStringLiteral("Unknown option 'bogus'")},
        {{QStringLiteral("a.qvp"), QStringLiteral("b.qvp")}, QStringLiteral("one FILE at most")},
        {{QStringLiteral("--demo-screenshots")}, QStringLiteral("Missing value after '--demo-screenshots'")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Ran r = Start(QV_QUORVANE_PATH, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CommandLine, QvtoolCommandsKeepTheirOwnOptions) {
    TempFolder folder;
    // After the command, --version is the description's text, not the tool's option.
    const Ran made = Start(QV_QVTOOL_PATH, {QStringLiteral("new"), folder.path(QStringLiteral("p.qvp")),
                                            QStringLiteral("--description"), QStringLiteral("--version")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const Ran info = Start(QV_QVTOOL_PATH, {QStringLiteral("info"), folder.path(QStringLiteral("p.qvp"))});
    EXPECT_TRUE(info.out.contains(QStringLiteral("Description\t--version\n"))) << info.out.toStdString();
    const Ran wrong = Start(QV_QVTOOL_PATH, {QStringLiteral("--bogus")});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("usage: qvtool"))) << wrong.err.toStdString();
}

TEST(CommandLine, FileAndPictureFolderAreTaken) {
    const struct {
        QStringList args;
        QString file, demoDir;
    } cases[] = {
        {{QStringLiteral("quorvane")}, {}, {}},
        {{QStringLiteral("quorvane"), QStringLiteral("shop.qvp")}, QStringLiteral("shop.qvp"), {}},
        {{QStringLiteral("quorvane"), QStringLiteral("--demo-screenshots"), QStringLiteral("shots")}, {}, QStringLiteral("shots")},
        {{QStringLiteral("quorvane"), QStringLiteral("--"), QStringLiteral("-odd.qvp")}, QStringLiteral("-odd.qvp"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const QuorvaneCommandLine line = ParseQuorvaneCommandLine(c.args, QStringLiteral("9.9"));
        EXPECT_EQ(line.action, QuorvaneCommandLine::Action::Run);
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.demoDir, c.demoDir);
    }
}
