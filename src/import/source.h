#pragma once

#include <QString>
#include <QStringList>
#include <QFileInfo>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// Outside databases as the import sees them: a source holds tables; a table has fields with
// an engine type code and rows in a stable order, each field readable by name. Readers take
// untrusted bytes: every failure is a SourceError with a message for the user, never a crash.
namespace import {

// The engine type codes of imported fields.
enum class FieldType {
    Boolean = 1,
    Byte = 2,
    Integer = 3, // 16-bit
    Long = 4,    // 32-bit
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
    Guid = 15,
};

struct SourceField {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters of a Text field, 0 where the format has none
};

// Which file, what is wrong: shown to the user as it stands.
class SourceError {
public:
    explicit SourceError(QString message) : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Values: NULL as a null QVariant (told from an empty text where the format can tell);
// Boolean as bool; Byte, Integer, Long as int; Currency, Single, Double as double; Date as
// QDateTime in Qt::UTC holding the stored wall-clock value (no zone conversion); Text, Memo
// and Guid as QString; Binary and LongBinary as QByteArray.
class SourceTable {
public:
    virtual ~SourceTable() = default;
    virtual const std::vector<SourceField>& fields() const = 0;
    // Steps to the next row (the first one after opening); false past the last row.
    virtual bool next() = 0;
    // The current row's value of field index (0-based, in fields() order).
    virtual QVariant value(int index) const = 0;

    // Field names ignore case; -1 when there is no such field.
    int fieldIndex(const QString& name) const;
    // The value by field name; an unknown name is a SourceError.
    QVariant value(const QString& name) const;
};

class Source {
public:
    virtual ~Source() = default;
    // Table names in a stable order (a folder's files sorted by name).
    virtual QStringList tableNames() const = 0;
    // Opens one table for reading from its first row; an unknown name is a SourceError.
    virtual std::unique_ptr<SourceTable> openTable(const QString& name) = 0;
};

// A source whose tables are files: one file, or the files of a folder that the reader takes,
// in name order with letter case ignored. A table is found by its exact name, else ignoring case.
class FileTablesSource : public Source {
public:
    struct TableFile {
        QString name;
        QString path;
    };
    QStringList tableNames() const override;
    std::unique_ptr<SourceTable> openTable(const QString& name) override;

protected:
    FileTablesSource(QString where, std::vector<TableFile> tables);
    virtual std::unique_ptr<SourceTable> openFile(const QString& path) = 0;

private:
    QString m_where;
    std::vector<TableFile> m_tables;
};

// The files of a folder that take(file) accepts, named by name(file), sorted by name with letter
// case ignored (then exactly, so that the order is stable).
std::vector<FileTablesSource::TableFile> TableFilesOfFolder(const QString& folder,
                                                            const std::function<bool(const QFileInfo&)>& take,
                                                            const std::function<QString(const QFileInfo&)>& name);

// Field names from a header row (each already trimmed as its format wants): a blank name gets its
// place ("Field3"), a name already taken, letter case ignored, a suffix ("Price_1").
std::vector<QString> UniqueFieldNames(const std::vector<QString>& header);

// The kinds of source, in the order the import offers them.
enum class SourceKind { Access, DBase, FoxPro, Excel, Paradox, Text };

// Limits that keep a damaged file from asking for unbounded memory.
inline constexpr int kMaxFields = 1000;
inline constexpr qint64 kMaxValueBytes = 64 * 1024 * 1024; // one memo or text value

} // namespace import
