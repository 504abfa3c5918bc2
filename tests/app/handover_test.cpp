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

using singleinstance::HandOver;

// The program started from a terminal; the event loop turns meanwhile so that a program in
// this process can answer. Its exit status, or -1; stderr in `err`.
int Quorvane(const QStringList& args, const QProcessEnvironment& env, QString* err = nullptr, const QString& workDir = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(QV_QUORVANE_PATH), args);
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The user's runtime folder is a scratch folder of the test's, for this process and its
// children; the running program is this process's main window, wired as the program wires it.
class HandOverTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.root()));
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.root());
    }
    void TearDown() override {
        frame.reset();
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }
    void StartWindow() {
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        ASSERT_TRUE(server.Listen());
        QObject::connect(&server, &CInstanceServer::fileReceived, frame.get(), &CQuorvaneMain::OpenFileFromOutside);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    bool Opened(const QString& path) {
        return QTest::qWaitFor([&] { return frame->Doc().IsProjectOpen() && frame->Doc().GetPathName() == path; }, 10000);
    }

    TempFolder runtime, config;
    QProcessEnvironment env;
    CScriptedPrompter prompter;
    CInstanceServer server;
    std::unique_ptr<CQuorvaneMain> frame;

private:
    QByteArray m_oldRuntime;
};

} // namespace

TEST_F(HandOverTest, LaterStartsHandTheirFilesToTheRunningProgramAndEnd) {
    ASSERT_NO_FATAL_FAILURE(StartWindow());
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(server.Path()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid());
    EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << st.st_mode; // the user's alone
    CInstanceServer another;
    EXPECT_FALSE(another.Listen()); // the running program keeps its socket
    // A start without a file brings the window back.
    frame->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isMinimized(); }, 5000));
    EXPECT_EQ(Quorvane({}, env), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isMinimized(); }, 5000));
    EXPECT_FALSE(frame->Doc().IsProjectOpen());

    const QString first = NewProjectFile(folder.path(QStringLiteral("first.qvp")));
    const QString second = NewProjectFile(folder.path(QStringLiteral("second.qvp")));
    QString err;
    // As the terminal's user types it: relative to the second start's folder.
    EXPECT_EQ(Quorvane({QStringLiteral("first.qvp")}, env, &err, folder.root()), 0) << err.toStdString();
    EXPECT_TRUE(Opened(first));
    EXPECT_EQ(frame->RecentFiles().value(0), first);
    ASSERT_EQ(Quorvane({second}, env), 0);
    EXPECT_TRUE(Opened(second));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quorvane - second.qvp"));
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(HandOverTest, FileThatIsNoProjectGivesTheOpenMessageInTheRunningProgram) {
    ASSERT_NO_FATAL_FAILURE(StartWindow());
    const QString project = NewProjectFile(folder.path(QStringLiteral("open.qvp")));
    const QString damaged = folder.path(QStringLiteral("damaged.qvp"));
    WriteFile(damaged, "not a project");
    for (const QString& bad : {folder.path(QStringLiteral("missing.qvp")), damaged}) {
        SCOPED_TRACE(bad.toStdString());
        ASSERT_EQ(Quorvane({project}, env), 0);
        ASSERT_TRUE(Opened(project));
        prompter.Expect(QStringLiteral("Failed to open project."));
        EXPECT_EQ(Quorvane({bad}, env), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return prompter.AllAnswered(); }, 10000));
        EXPECT_TRUE(prompter.m_unexpected.isEmpty()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(frame->Doc().IsProjectOpen());
        EXPECT_EQ(frame->UpperPaneHeight(), 0);
    }
}

TEST_F(HandOverTest, FileWaitsUntilTheOpenDialogIsClosed) {
    ASSERT_NO_FATAL_FAILURE(StartWindow());
    const QString path = NewProjectFile(folder.path(QStringLiteral("later.qvp")));
    QDialog dialog(frame.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    ASSERT_EQ(Quorvane({path}, env), 0);
    QTest::qWait(400); // past the moment the file would have opened without the dialog
    EXPECT_FALSE(frame->Doc().IsProjectOpen());
    dialog.close();
    EXPECT_TRUE(Opened(path));
}

TEST_F(HandOverTest, SocketPathIsPerUserPrivateAndNeverTakesAnotherFile) {
    const QString name = QStringLiteral("/quorvane-%1.socket").arg(::geteuid());
    const QString socketPath = singleinstance::SocketPath();
    EXPECT_EQ(socketPath, runtime.root() + name);
    // Something else at the path is left alone.
    WriteFile(socketPath, "keep");
    EXPECT_FALSE(server.Listen());
    EXPECT_EQ(singleinstance::SendToRunningProgram(QStringLiteral("/x.qvp"), socketPath), HandOver::Failed);
    EXPECT_TRUE(QFile::exists(socketPath));
    // A runtime folder others can enter is not trusted: the temporary folder, with the uid.
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.root()).constData(), 0755), 0);
    EXPECT_EQ(singleinstance::SocketPath(), QDir::tempPath() + name);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path(QStringLiteral("absent"))));
    EXPECT_EQ(singleinstance::SocketPath(), QDir::tempPath() + name);
}

TEST_F(HandOverTest, StaleSocketIsReplacedAndTheStartGoesOn) {
    // What a crashed program leaves: a socket file with nobody listening.
    const QString socketPath = singleinstance::SocketPath();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(socketPath);
    ASSERT_LT(name.size(), static_cast<int>(sizeof addr.sun_path));
    std::copy(name.begin(), name.end(), addr.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    EXPECT_EQ(singleinstance::SendToRunningProgram(QStringLiteral("/x.qvp"), socketPath), HandOver::NoProgram);

    // A whole program started over it takes the socket; a second start hands it a file.
    const QString path = NewProjectFile(folder.path(QStringLiteral("after-crash.qvp")));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(QV_QUORVANE_PATH), QStringList{});
    ASSERT_TRUE(first.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return singleinstance::SendToRunningProgram({}, socketPath) == HandOver::Delivered; }, 20000));
    EXPECT_EQ(Quorvane({path}, env), 0);
    const QString settings = config.path(QStringLiteral("Pellor Software/Quorvane.ini"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Recent File List/File1")).toString() == path; }, 20000));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}
