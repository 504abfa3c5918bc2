#include "sourcefactory.h"

#include "import/accessreader.h"
#include "import/dbfreader.h"
#include "import/excelreader.h"
#include "import/paradoxreader.h"
#include "import/textreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace import {

namespace {

std::optional<SourceKind> KindOfFile(const QString& path) {
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly)) head = file.read(32);
    const QString ext = QFileInfo(path).suffix().toLower();
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB") return SourceKind::Access;
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || (head.startsWith("PK\x03\x04") && ext == QLatin1String("xlsx")))
        return SourceKind::Excel;
    if (ext == QLatin1String("dbf")) {
        // FoxPro's own version marks; everything else is read as dBase (one reader serves both).
        const unsigned char version = head.isEmpty() ? 0 : static_cast<unsigned char>(head[0]);
        return (version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5 || version == 0xFB)
                   ? SourceKind::FoxPro
                   : SourceKind::DBase;
    }
    if (ext == QLatin1String("db")) return SourceKind::Paradox;
    if (ext == QLatin1String("mdb") || ext == QLatin1String("accdb")) return SourceKind::Access;
    if (ext == QLatin1String("xls") || ext == QLatin1String("xlsx")) return SourceKind::Excel;
    if (ext == QLatin1String("csv") || ext == QLatin1String("txt")) return SourceKind::Text;
    return std::nullopt;
}

} // namespace

std::optional<SourceKind> SourceKindFromName(const QString& name) {
    static const std::pair<const char*, SourceKind> names[] = {
        {"access", SourceKind::Access}, {"dbase", SourceKind::DBase},     {"foxpro", SourceKind::FoxPro},
        {"excel", SourceKind::Excel},   {"paradox", SourceKind::Paradox}, {"text", SourceKind::Text}};
    for (const auto& [word, kind] : names)
        if (name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) return kind;
    return std::nullopt;
}

std::optional<SourceKind> DetectSourceKind(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir()) return info.exists() ? KindOfFile(path) : std::nullopt;
    // A folder: the kind of its first file that a reader knows, files in name order.
    const QFileInfoList files = QDir(path).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files)
        if (const auto kind = KindOfFile(f.filePath())) return kind;
    return std::nullopt;
}

std::unique_ptr<Source> OpenSource(SourceKind kind, const QString& path) {
    if (!QFileInfo::exists(path)) throw SourceError(QStringLiteral("Could not find \"%1\".").arg(path));
    switch (kind) {
    case SourceKind::DBase:
    case SourceKind::FoxPro: return OpenDbfSource(path);
    case SourceKind::Paradox: return OpenParadoxSource(path);
    case SourceKind::Text: return OpenTextSource(path);
    case SourceKind::Access: return OpenAccessSource(path);
    case SourceKind::Excel: return OpenExcelSource(path);
    }
    throw SourceError(QStringLiteral("\"%1\": unknown kind of database.").arg(path));
}

} // namespace import
