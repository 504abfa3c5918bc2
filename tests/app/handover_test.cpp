// One running program per user: a later `quorvane FILE` hands its file to the running program
// over the user's own socket and ends; a socket left by a crashed run does not stop a start.
#include "apptest.h"
#include "app/quorvanemain.h"
#include "app/singleinstance.h"
#include "project/quorvanedoc.h"
#include "scriptedprompter.h"

#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Ran {
    int status = -1;
    QString out, err;
};

// The program started from a terminal; the test's event loop keeps turning meanwhile, so a
// program in this process can answer it.
Ran Quorvane(const QStringList& args, const QProcessEnvironment& env, const QString& workDir = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(QV_QUORVANE_PATH), args);
    const bool ended = QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    Ran r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString NewProjectFile(const QString& path) {
    CScriptedPrompter prompter;
    CQuorvaneDoc doc(&prompter);
    CQuorvaneDoc::NewProjectRequest request;
    request.path = path;
    EXPECT_TRUE(doc.CreateNewProject(request)) << path.toStdString();
    doc.OnFileCloseProject();
    return path;
}

// What a crashed program leaves: a socket file with nobody listening.
void MakeStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(name.size(), static_cast<int>(sizeof addr.sun_path));
    std::copy(name.begin(), name.end(), addr.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
}

// The user's runtime folder is a scratch folder of the test's, for this process and its children.
class RuntimeTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.root()));
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.root());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", m_oldRuntime); }

    TempFolder runtime;
    TempFolder config;
    QProcessEnvironment env;

private:
    QByteArray m_oldRuntime;
};

// The running program is this process's main window, wired as the program wires it.
class HandOver : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        ASSERT_TRUE(server.Listen());
        QObject::connect(&server, &CInstanceServer::fileReceived, frame.get(), &CQuorvaneMain::OpenFileFromOutside);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override {
        frame.reset();
        RuntimeTest::TearDown();
    }
    bool Opened(const QString& path) {
        return QTest::qWaitFor([&] { return frame->Doc().IsProjectOpen() && frame->Doc().GetPathName() == path; }, 10000);
    }

    CScriptedPrompter prompter;
    CInstanceServer server;
    std::unique_ptr<CQuorvaneMain> frame;
};

} // namespace

TEST_F(HandOver, SecondStartHandsItsFileOverAndEnds) {
    const QString path = NewProjectFile(folder.path(QStringLiteral("shop.qvp")));
    // Given as the terminal's user types it: relative to the second start's folder.
    const Ran r = Quorvane({QStringLiteral("shop.qvp")}, env, folder.root());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(Opened(path));
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(frame->RecentFiles().value(0), path);
}

TEST_F(HandOver, SentFileReplacesTheOpenProject) {
    const QString first = NewProjectFile(folder.path(QStringLiteral("first.qvp")));
    const QString second = NewProjectFile(folder.path(QStringLiteral("second.qvp")));
    ASSERT_EQ(Quorvane({first}, env).status, 0);
    ASSERT_TRUE(Opened(first));
    ASSERT_EQ(Quorvane({second}, env).status, 0);
    EXPECT_TRUE(Opened(second));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane - second.qvp"));
}

TEST_F(HandOver, FileThatIsNoProjectGivesTheOpenMessageInTheRunningProgram) {
    const QString project = NewProjectFile(folder.path(QStringLiteral("open.qvp")));
    QFile damaged(folder.path(QStringLiteral("damaged.qvp")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a project");
    damaged.close();
    for (const QString& bad : {folder.path(QStringLiteral("missing.qvp")), damaged.fileName()}) {
        SCOPED_TRACE(bad.toStdString());
        ASSERT_EQ(Quorvane({project}, env).status, 0);
        ASSERT_TRUE(Opened(project));
        prompter.Expect(QStringLiteral("Failed to open project."));
        const Ran r = Quorvane({bad}, env);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return prompter.AllAnswered(); }, 10000));
        EXPECT_TRUE(prompter.m_unexpected.isEmpty()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(frame->Doc().IsProjectOpen());
        EXPECT_EQ(frame->UpperPaneHeight(), 0);
    }
}

TEST_F(HandOver, FileWaitsUntilTheOpenDialogIsClosed) {
    const QString path = NewProjectFile(folder.path(QStringLiteral("later.qvp")));
    QDialog dialog(frame.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    ASSERT_EQ(Quorvane({path}, env).status, 0);
    QTest::qWait(400); // past the moment the file would have opened without the dialog
    EXPECT_FALSE(frame->Doc().IsProjectOpen());
    dialog.close();
    EXPECT_TRUE(Opened(path));
}

TEST_F(HandOver, StartWithoutFileBringsTheWindowBack) {
    frame->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isMinimized(); }, 5000));
    const Ran r = Quorvane({}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isMinimized(); }, 5000));
    EXPECT_FALSE(frame->Doc().IsProjectOpen());
}

TEST_F(HandOver, RunningProgramKeepsItsSocket) {
    CInstanceServer another;
    EXPECT_FALSE(another.Listen());
    const QString path = NewProjectFile(folder.path(QStringLiteral("kept.qvp")));
    EXPECT_EQ(Quorvane({path}, env).status, 0);
    EXPECT_TRUE(Opened(path));
}

TEST_F(HandOver, SocketIsTheUsersAlone) {
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(server.Path()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << st.st_mode;
}

TEST_F(RuntimeTest, SocketPathIsPerUserAndInAPrivateRuntimeFolder) {
    const QString name = QStringLiteral("/quorvane-%1.socket").arg(::geteuid());
    EXPECT_EQ(singleinstance::SocketPath(), runtime.root() + name);
    // A runtime folder others can enter is not trusted: the temporary folder, with the uid.
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.root()).constData(), 0755), 0);
    EXPECT_EQ(singleinstance::SocketPath(), QDir::tempPath() + name);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path(QStringLiteral("absent"))));
    EXPECT_EQ(singleinstance::SocketPath(), QDir::tempPath() + name);
}

TEST_F(RuntimeTest, StaleSocketIsReplacedAndTheStartGoesOn) {
    const QString socketPath = singleinstance::SocketPath();
    MakeStaleSocket(socketPath);
    EXPECT_EQ(singleinstance::SendToRunningProgram(QStringLiteral("/x.qvp"), socketPath), singleinstance::HandOver::NoProgram);

    // A whole first program started over the stale socket, then a second start hands it a file.
    const QString path = NewProjectFile(folder.path(QStringLiteral("after-crash.qvp")));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(QV_QUORVANE_PATH), QStringList{});
    ASSERT_TRUE(first.waitForStarted());
    // Listening once a start without a file is delivered to it rather than starting anew.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return singleinstance::SendToRunningProgram({}, socketPath) == singleinstance::HandOver::Delivered; }, 20000));
    const Ran second = Quorvane({path}, env);
    EXPECT_EQ(second.status, 0) << second.err.toStdString();
    const QString settings = config.path(QStringLiteral("Pellor Software/Quorvane.ini"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Recent File List/File1")).toString() == path;
        },
        20000));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

TEST_F(RuntimeTest, SomethingElseAtTheSocketPathIsLeftAlone) {
    const QString socketPath = singleinstance::SocketPath();
    QFile other(socketPath);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("keep");
    other.close();
    CInstanceServer server;
    EXPECT_FALSE(server.Listen());
    EXPECT_EQ(singleinstance::SendToRunningProgram(QStringLiteral("/x.qvp"), socketPath), singleinstance::HandOver::Failed);
    EXPECT_TRUE(QFile::exists(socketPath));
}
