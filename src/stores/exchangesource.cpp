#include "exchangesource.h"

#include "db/database.h"
#include "db/recordset.h"
#include "import/accessreader.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <optional>

namespace {

const QString kItemsPrefix = QStringLiteral("StoreItems_");

// The program's definition of a table the import reads, under the name it has in the file.
std::optional<db::TableDef> DefinitionOf(const QString& name) {
    auto is = [&](const char* table) { return name.compare(QLatin1String(table), Qt::CaseInsensitive) == 0; };
    if (is("FileVersion")) {
        db::TableDef def{QStringLiteral("FileVersion"), {}};
        def.add(QStringLiteral("Version"), db::Type::Integer);
        return def;
    }
    if (is("Store")) return schema::Store();
    if (name.startsWith(kItemsPrefix, Qt::CaseInsensitive)) {
        db::TableDef def = schema::StoreItems(0);
        // The name goes into statements: only letters, digits and underscores are kept.
        QString suffix;
        for (const QChar c : name.mid(kItemsPrefix.size()))
            if (c.isLetterOrNumber() && c.unicode() < 128) suffix += c;
        def.name = kItemsPrefix + suffix;
        return def;
    }
    for (const char* list : {"ContainerNamesList", "ContainerList", "DiscTableNamesList"})
        if (is(list)) return CDaoGroupedStringList::TableDefinition(QLatin1String(list));
    if (is("Lookup")) return CLookupTable::TableDefinition();
    return std::nullopt;
}

class BadValue {
public:
    explicit BadValue(QString field) : m_field(std::move(field)) {}
    const QString& field() const { return m_field; }

private:
    QString m_field;
};

// A value of the file in the form the program keeps it: booleans as 0/1, a Null text as " ",
// a Null number or boolean as 0. Whether the value suits its field is the field's to say.
QVariant Stored(const db::FieldDef& field, const QVariant& v) {
    const bool null = !v.isValid() || v.isNull();
    if (field.type == db::Type::Text) {
        const QString s = null ? QString() : v.toString();
        return s.isEmpty() ? QStringLiteral(" ") : s;
    }
    if (field.type == db::Type::Date) return v;
    if (null) return 0;
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? 1 : 0;
    if (v.typeId() == QMetaType::QByteArray || v.typeId() == QMetaType::QDateTime) throw BadValue(field.name);
    return v;
}

void CopyTable(import::Source& source, const QString& name, const db::TableDef& program, db::Database& copy) {
    std::unique_ptr<import::SourceTable> from = source.openTable(name);
    // The program's fields that the file has, in the program's order, each with its place in the file.
    db::TableDef def{program.name, {}};
    std::vector<int> places;
    for (db::FieldDef f : program.fields) {
        const int at = from->fieldIndex(f.name);
        if (at < 0) continue;
        // A text too long for the project is refused by the import, as from any exchange file.
        if (f.type == db::Type::Text) f.size = int(import::kMaxValueBytes);
        def.fields.push_back(f);
        places.push_back(at);
    }
    if (def.fields.empty()) return; // nothing of it the import could read: as if it were not there
    copy.createTable(def);
    db::Recordset to(copy);
    to.open(QStringLiteral("select * from [%1]").arg(def.name));
    while (from->next()) {
        to.addNew();
        for (size_t i = 0; i < def.fields.size(); ++i) {
            const db::FieldDef& f = def.fields[i];
            try {
                to.setValue(int(i), Stored(f, from->value(places[i])));
            } catch (const db::Error&) {
                throw BadValue(f.name);
            }
        }
        to.update();
    }
}

} // namespace

namespace storeexchange {

bool CopyAccessExchangeFile(const QString& mdb, const QString& copy, QString& error) {
    Trace(20, QStringLiteral("CopyAccessExchangeFile()"));
    QString table;
    try {
        std::unique_ptr<import::Source> source = import::OpenAccessSource(mdb);
        db::Database out;
        out.create(copy, db::Journal::Shared);
        db::Transaction tx(out);
        for (const QString& name : source->tableNames()) {
            const std::optional<db::TableDef> def = DefinitionOf(name);
            if (!def || out.hasTable(def->name)) continue;
            table = name;
            CopyTable(*source, name, *def, out);
        }
        tx.commit();
        return true;
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
        error = QStringLiteral("The Access store file\n%1\ncannot be read:\n%2").arg(mdb, e.message());
    } catch (const BadValue& bad) {
        error = QStringLiteral("The Access store file\n%1\nis damaged: the field %2 of its table %3 holds a value "
                               "of the wrong kind.")
                    .arg(mdb, bad.field(), table);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        error = QStringLiteral("The Access store file\n%1\ncannot be read:\n%2").arg(mdb, e.description());
    }
    return false;
}

} // namespace storeexchange
