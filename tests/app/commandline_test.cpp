// The command lines of both programs, run as a person runs them from a terminal.
#include "apptest.h"
#include "app/commandline.h"

#include <QProcess>
#include <utility>

namespace {

struct Ran {
    int status = -1;
    QString out, err;
};

// Without a display or a platform named: --help and --version must not need one.
Ran Start(const char* program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
    p.setProcessEnvironment(env);
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

TEST(CommandLine, HelpVersionAndWrongArgumentsOfBothPrograms) {
    const QString quorvaneVersion = QStringLiteral("quorvane " QV_VERSION "\n");
    const QString qvtoolVersion = QStringLiteral("qvtool " QV_VERSION "\n");
    const struct {
        const char* program;
        QStringList args;
        int status;
        QStringList out, err; // texts the stream holds; one ending in a line end is all of it
    } cases[] = {
        {QV_QUORVANE_PATH, {QStringLiteral("--help")}, 0, {QStringLiteral("Usage: quorvane [options] [FILE]"), QStringLiteral("--version"), QStringLiteral("FILE")}, {}},
        {QV_QUORVANE_PATH, {QStringLiteral("-h")}, 0, {QStringLiteral("--help")}, {}},
        {QV_QUORVANE_PATH, {QStringLiteral("--version")}, 0, {quorvaneVersion}, {}},
        {QV_QUORVANE_PATH, {QStringLiteral("-v")}, 0, {quorvaneVersion}, {}},
        {QV_QVTOOL_PATH, {QStringLiteral("--help")}, 0, {QStringLiteral("qvtool new PATH"), QStringLiteral("qvtool demo PATH"), QStringLiteral("--version")}, {}},
        {QV_QVTOOL_PATH, {QStringLiteral("--version")}, 0, {qvtoolVersion}, {}},
        {QV_QVTOOL_PATH, {QStringLiteral("-v")}, 0, {qvtoolVersion}, {}},
        {QV_QUORVANE_PATH, {QStringLiteral("--bogus")}, 2, {}, {QStringLiteral("Unknown option 'bogus'")}},
        {QV_QUORVANE_PATH, {QStringLiteral("a.qvp"), QStringLiteral("b.qvp")}, 2, {}, {QStringLiteral("one FILE at most")}},
        {QV_QUORVANE_PATH, {QStringLiteral("--demo-screenshots")}, 2, {}, {QStringLiteral("Missing value after '--demo-screenshots'")}},
        {QV_QVTOOL_PATH, {QStringLiteral("--bogus")}, 1, {}, {QStringLiteral("usage: qvtool")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program + (' ' + c.args.join(QLatin1Char(' ')).toStdString()));
        const Ran r = Start(c.program, c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        for (const auto& [stream, texts] : {std::pair{&r.out, &c.out}, std::pair{&r.err, &c.err}}) {
            EXPECT_EQ(stream->isEmpty(), texts->isEmpty()) << stream->toStdString();
            for (const QString& text : *texts) EXPECT_TRUE(stream->contains(text)) << stream->toStdString();
            if (!texts->isEmpty() && texts->first().endsWith(QLatin1Char('\n'))) {
                EXPECT_EQ(*stream, texts->first());
            }
        }
    }
    // The picture-taking switch stays out of sight.
    EXPECT_FALSE(Start(QV_QUORVANE_PATH, {QStringLiteral("--help")}).out.contains(QStringLiteral("demo")));
}

TEST(CommandLine, QvtoolCommandsKeepTheirOwnOptions) {
    TempFolder folder;
    // After the command, --version is the description's text, not the tool's option.
    const QString path = folder.path(QStringLiteral("p.qvp"));
    const Ran made = Start(QV_QVTOOL_PATH, {QStringLiteral("new"), path, QStringLiteral("--description"), QStringLiteral("--version")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const Ran info = Start(QV_QVTOOL_PATH, {QStringLiteral("info"), path});
    EXPECT_TRUE(info.out.contains(QStringLiteral("Description\t--version\n"))) << info.out.toStdString();
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
