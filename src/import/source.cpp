#include "source.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace import {

int SourceTable::fieldIndex(const QString& name) const {
    const std::vector<SourceField>& all = fields();
    for (int i = 0; i < int(all.size()); ++i)
        if (all[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant SourceTable::value(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0) throw SourceError(QStringLiteral("The table has no field named \"%1\".").arg(name));
    return value(index);
}

FileTablesSource::FileTablesSource(QString where, std::vector<TableFile> tables)
    : m_where(std::move(where)), m_tables(std::move(tables)) {}

QStringList FileTablesSource::tableNames() const {
    QStringList names;
    for (const TableFile& t : m_tables) names << t.name;
    return names;
}

std::unique_ptr<SourceTable> FileTablesSource::openTable(const QString& name) {
    auto found = std::find_if(m_tables.begin(), m_tables.end(), [&](const TableFile& t) { return t.name == name; });
    if (found == m_tables.end())
        found = std::find_if(m_tables.begin(), m_tables.end(), [&](const TableFile& t) {
            return t.name.compare(name, Qt::CaseInsensitive) == 0;
        });
    if (found == m_tables.end())
        throw SourceError(QStringLiteral("There is no table named \"%1\" in \"%2\".").arg(name, m_where));
    return openFile(found->path);
}

std::vector<FileTablesSource::TableFile> TableFilesOfFolder(const QString& folder,
                                                            const std::function<bool(const QFileInfo&)>& take,
                                                            const std::function<QString(const QFileInfo&)>& name) {
    std::vector<FileTablesSource::TableFile> tables;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::NoSort))
        if (take(file)) tables.push_back({name(file), file.filePath()});
    std::sort(tables.begin(), tables.end(), [](const auto& a, const auto& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return tables;
}

std::vector<QString> UniqueFieldNames(const std::vector<QString>& header) {
    std::vector<QString> names;
    QSet<QString> taken;
    for (size_t i = 0; i < header.size(); ++i) {
        QString base = header[i];
        if (base.isEmpty()) base = QStringLiteral("Field%1").arg(i + 1);
        QString name = base;
        for (int k = 1; taken.contains(name.toCaseFolded()); ++k) name = QStringLiteral("%1_%2").arg(base).arg(k);
        taken.insert(name.toCaseFolded());
        names.push_back(name);
    }
    return names;
}

} // namespace import
