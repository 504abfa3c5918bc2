#include "dbtesthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

extern char** environ;

using namespace dbtest;

namespace {

// Set only in the child this test starts; names the database it writes to.
const char* const kWriterEnv = "QV_DB_DURABILITY_WRITER";
const char* const kLinePrefix = "committed ";

// Starts this same test program running only the writer below; its stdout comes back on *out.
pid_t StartWriter(const QString& dbPath, int* out) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, kWriterEnv, std::strlen(kWriterEnv)) != 0)
            env.emplace_back(*e);
    env.push_back(std::string(kWriterEnv) + "=" + dbPath.toStdString());
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    std::string self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().toStdString();
    std::string filter = "--gtest_filter=DbDurability.WriterChild";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    *out = fds[0];
    return pid;
}

// Collects the IDs the writer reports from its output, complete lines only.
class ReportReader {
public:
    explicit ReportReader(int fd) : m_fd(fd) {}
    // Reads until `want` IDs have arrived, the pipe closes, or the time is up.
    void ReadUntil(size_t want, int timeoutMs) {
        while (ids.size() < want) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0)
                return;
            char buf[4096];
            const ssize_t n = read(m_fd, buf, sizeof buf);
            if (n <= 0)
                return;
            m_pending.append(buf, size_t(n));
            size_t eol;
            while ((eol = m_pending.find('\n')) != std::string::npos) {
                const std::string line = m_pending.substr(0, eol);
                m_pending.erase(0, eol + 1);
                if (line.rfind(kLinePrefix, 0) == 0)
                    ids.push_back(std::atoi(line.c_str() + std::strlen(kLinePrefix)));
            }
        }
    }
    std::vector<int> ids;

private:
    int m_fd;
    std::string m_pending;
};

} // namespace

// The writer side, run only as the child of the test below: adds rows one committed change at a
// time and reports each ID once its update has returned.
TEST(DbDurability, WriterChild) {
    const char* target = std::getenv(kWriterEnv);
    if (!target)
        GTEST_SKIP() << "started only by DbDurability.KilledWriterKeepsEveryReportedRow";
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the parent
#endif
    db::Database database;
    database.open(QString::fromStdString(target));
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Item]"));
    for (int id = 1; id <= 1000000; ++id) {
        AddItem(rs, id, QStringLiteral("row %1").arg(id), id % 10);
        if (id % 7 == 0) { // edits too, so the log holds more than appends
            rs.moveLast();
            rs.edit();
            rs.setValue(QStringLiteral("Price"), id * 0.5);
            rs.update();
        }
        std::printf("%s%d\n", kLinePrefix, id);
        std::fflush(stdout);
    }
}

TEST(DbDurability, KilledWriterKeepsEveryReportedRow) {
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("crash.qdb"));
    {
        db::Database database;
        database.create(path);
        database.createTable(ItemTable());
    }
    int out = -1;
    const pid_t child = StartWriter(path, &out);
    ASSERT_GT(child, 0) << "cannot start " << std::strerror(errno);
    ReportReader reader(out);
    reader.ReadUntil(300, 60000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    reader.ReadUntil(size_t(-1), 1000); // whatever it reported before the kill
    close(out);

    ASSERT_GE(reader.ids.size(), 300u) << "the writer stopped early";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended by itself";
    const int reported = int(reader.ids.size());
    for (int i = 0; i < reported; ++i)
        ASSERT_EQ(reader.ids[size_t(i)], i + 1);

    EXPECT_EQ(RawQuery(path, "PRAGMA integrity_check"),
              std::vector<QString>({QStringLiteral("ok")}));
    std::set<int> stored;
    for (const QString& id : RawQuery(path, "SELECT ID FROM Item"))
        stored.insert(id.toInt());
    for (int id : reader.ids)
        EXPECT_TRUE(stored.count(id)) << "reported ID " << id << " is missing";
    // At most one more row: committed, but killed before it could be reported.
    EXPECT_LE(stored.size(), size_t(reported) + 1);
    EXPECT_EQ(*stored.rbegin(), int(stored.size()));
    const auto edited = RawQuery(path, "SELECT Price FROM Item WHERE ID = 140");
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited.front().toDouble(), 70.0);

    // The engine opens the recovered file, carries on, and closes it back to one file.
    db::Database database;
    database.open(path);
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Item]"));
    EXPECT_EQ(rs.recordCount(), long(stored.size()));
    AddItem(rs, 0, QStringLiteral("after the crash"));
    rs.close();
    database.close();
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), int(stored.size()) + 1);
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("crash.qdb")}));
}
