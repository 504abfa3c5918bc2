// `cmake --install` into a staging folder (DESTDIR), as a package build does: the files the
// desktop needs, valid for its tools where they are installed.
#include "apptest.h"
#include "app/appicon.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

const QString kId = QStringLiteral(QV_APP_ID);
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

struct Ran {
    int status = -1;
    QString out;
};

Ran Exec(const QString& program, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}

// Runs a validator when this machine has it (CI installs them all).
void Validate(const char* tool, const QStringList& args) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(tool));
    if (path.isEmpty()) {
        std::printf("[ note ] %s is not installed here\n", tool);
        return;
    }
    const Ran r = Exec(path, args);
    EXPECT_EQ(r.status, 0) << tool << ": " << r.out.toStdString();
}

QHash<QString, QString> DesktopEntry(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QHash<QString, QString> keys;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !line.startsWith(QLatin1Char('#'))) keys.insert(line.left(eq), line.mid(eq + 1));
    }
    return keys;
}

class InstallTree : public ::testing::Test {
protected:
    // One install for all the tests: it copies the programs.
    static void SetUpTestSuite() {
        s_stage = new TempFolder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), s_stage->root());
        s_install = new Ran(Exec(QStringLiteral(QV_CMAKE_COMMAND),
                                 {QStringLiteral("--install"), QStringLiteral(QV_BUILD_DIR), QStringLiteral("--prefix"), QStringLiteral("/usr")}, env));
    }
    static void TearDownTestSuite() {
        delete s_install;
        delete s_stage;
    }
    void SetUp() override { ASSERT_EQ(s_install->status, 0) << s_install->out.toStdString(); }
    static QString Usr(const QString& relative) { return s_stage->root() + QStringLiteral("/usr/") + relative; }

    static inline TempFolder* s_stage = nullptr;
    static inline Ran* s_install = nullptr;
};

} // namespace

TEST_F(InstallTree, EveryFileLandsUnderThePrefix) {
    QStringList wanted = {QStringLiteral("bin/quorvane"), QStringLiteral("bin/qvtool"), QStringLiteral("share/applications/%1.desktop").arg(kId),
                          QStringLiteral("share/mime/packages/%1.xml").arg(kId), QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId),
                          QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kId), QStringLiteral("share/man/man1/quorvane.1.gz"),
                          QStringLiteral("share/man/man1/qvtool.1.gz")};
    for (int size : kIconSizes) wanted << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId);
    QStringList found;
    for (QDirIterator it(s_stage->root(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << it.next().mid(s_stage->root().size() + 1);
    for (QString& f : wanted) f.prepend(QStringLiteral("usr/"));
    found.sort();
    wanted.sort();
    EXPECT_EQ(found, wanted);
    for (const char* program : {"bin/quorvane", "bin/qvtool"}) {
        EXPECT_TRUE(QFileInfo(Usr(QLatin1String(program))).isExecutable()) << program;
        const Ran r = Exec(Usr(QLatin1String(program)), {QStringLiteral("--version")});
        EXPECT_EQ(r.status, 0) << program;
        EXPECT_TRUE(r.out.endsWith(QStringLiteral(" " QV_VERSION "\n"))) << r.out.toStdString();
    }
}

TEST_F(InstallTree, DesktopEntryOpensProjectFilesWithTheInstalledIcon) {
    const QString path = Usr(QStringLiteral("share/applications/%1.desktop").arg(kId));
    const QHash<QString, QString> keys = DesktopEntry(path);
    const QHash<QString, QString> wanted = {{QStringLiteral("Type"), QStringLiteral("Application")},
                                            {QStringLiteral("Exec"), QStringLiteral("quorvane %f")},
                                            {QStringLiteral("MimeType"), QStringLiteral("application/x-quorvane-project;")},
                                            {QStringLiteral("Categories"), QStringLiteral("Office;Finance;")},
                                            {QStringLiteral("Icon"), kId}};
    for (auto it = wanted.begin(); it != wanted.end(); ++it) EXPECT_EQ(keys.value(it.key()), it.value()) << it.key().toStdString();
    Validate("desktop-file-validate", {path});
}

TEST_F(InstallTree, ProjectFileTypeIsByNameOnly) {
    QFile file(Usr(QStringLiteral("share/mime/packages/%1.xml").arg(kId)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList types, globs, elements;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        elements << xml.name().toString();
        if (elements.last() == QLatin1String("mime-type")) types << xml.attributes().value(QStringLiteral("type")).toString();
        if (elements.last() == QLatin1String("glob")) globs << xml.attributes().value(QStringLiteral("pattern")).toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(types, QStringList{QStringLiteral("application/x-quorvane-project")});
    EXPECT_EQ(globs, QStringList{QStringLiteral("*.qvp")});
    // No look at the content: a project is a plain SQLite file and must not claim the others.
    EXPECT_FALSE(elements.contains(QStringLiteral("magic"))) << elements.join(QLatin1Char(',')).toStdString();

    // The desktop's own tool reads it into the glob table.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty()) return;
    TempFolder mime;
    ASSERT_TRUE(QDir().mkpath(mime.path(QStringLiteral("packages"))));
    ASSERT_TRUE(QFile::copy(file.fileName(), mime.path(QStringLiteral("packages/%1.xml").arg(kId))));
    const Ran r = Exec(tool, {mime.root()});
    ASSERT_EQ(r.status, 0) << r.out.toStdString();
    QFile table(mime.path(QStringLiteral("globs2")));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_TRUE(table.readAll().contains(":application/x-quorvane-project:*.qvp"));
}

TEST_F(InstallTree, IconsAreTheWindowIconAtEverySize) {
    for (int size : kIconSizes) {
        SCOPED_TRACE(size);
        const QImage png(Usr(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId)));
        EXPECT_TRUE(png.hasAlphaChannel());
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32), ProgramImage(size).convertToFormat(QImage::Format_ARGB32));
    }
    QFile svg(Usr(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kId)));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("svg"));
    EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QLatin1String("0 0 64 64"));
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

TEST_F(InstallTree, MetainfoAndManPages) {
    const QString metainfo = Usr(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId));
    QFile file(metainfo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& part : {QStringLiteral("<id>%1</id>").arg(kId), QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kId),
                                QStringLiteral("<release version=\"" QV_VERSION "\"")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
    Validate("appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    for (const char* page : {"quorvane", "qvtool"}) {
        const Ran r = Exec(QStringLiteral("gzip"), {QStringLiteral("-dc"), Usr(QStringLiteral("share/man/man1/%1.1.gz").arg(QLatin1String(page)))});
        EXPECT_EQ(r.status, 0) << page;
        EXPECT_TRUE(r.out.startsWith(QStringLiteral(".TH %1 1 \"\" \"Quorvane " QV_VERSION "\"").arg(QString::fromLatin1(page).toUpper())))
            << r.out.left(80).toStdString();
    }
}
