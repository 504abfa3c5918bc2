#pragma once

// What every libFuzzer target shares. A target's file includes this header once and defines
// two functions: Seeds(), small valid inputs of its kind (written out when the environment
// variable QV_FUZZ_WRITE_SEEDS names a folder), and FuzzOne(), which turns one input into
// files and reads them through the reader. This header supplies libFuzzer's entry points,
// a folder of the process's own for those files, and a walk over every table, row and value
// that aborts (a crash to libFuzzer) when a reader breaks the source interface's promises.

#include "import/source.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace qvfuzz {

struct Seed {
    const char* name;
    QByteArray bytes;
};

// Defined by each target.
std::vector<Seed> Seeds();
void FuzzOne(const QByteArray& input);

[[noreturn]] inline void Broken(const QString& what) {
    std::fprintf(stderr, "source interface broken: %s\n", qPrintable(what));
    std::abort();
}

// The files of one input, in a folder of this process; the previous input's files go first.
class Files {
public:
    Files() {
        for (const QString& name : dir().entryList(QDir::Files | QDir::Hidden))
            dir().remove(name);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir().filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            Broken(QStringLiteral("cannot write ") + path);
        m_names << name;
        return path;
    }
    const QStringList& names() const { return m_names; }

private:
    static QDir& dir() {
        static QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/qvfuzz-XXXXXX"));
        static QDir folder(temporary.path());
        if (!temporary.isValid())
            Broken(QStringLiteral("no temporary folder"));
        return folder;
    }
    QStringList m_names;
};

// Two files from one input, so that a table and its memo file are both fuzzed: the first two
// bytes (little-endian) hold the first file's length in their low 15 bits and a flag in the
// top bit (for a target to pick the second file's name); the rest after the first file is the
// second file, absent when empty.
struct Split {
    QByteArray first;
    QByteArray second;
    bool flag = false;
};

inline Split SplitInput(const QByteArray& input) {
    if (input.size() < 2)
        return {input, {}, false};
    const unsigned prefix = unsigned(uchar(input[0])) | unsigned(uchar(input[1])) << 8;
    const QByteArray rest = input.mid(2);
    const qsizetype length = qMin(qsizetype(prefix & 0x7FFF), rest.size());
    return {rest.left(length), rest.mid(length), (prefix & 0x8000) != 0};
}

// The inverse, for seeds.
inline QByteArray Join(const QByteArray& first, const QByteArray& second, bool flag = false) {
    if (first.size() > 0x7FFF)
        Broken(QStringLiteral("a seed's first file is too long"));
    const unsigned prefix = unsigned(first.size()) | (flag ? 0x8000u : 0u);
    return QByteArray(1, char(prefix & 0xFF)) + char(prefix >> 8) + first + second;
}

// A value as the interface promises it for its field's type: NULL, or of the one Qt type.
inline bool Fits(import::FieldType type, const QVariant& v) {
    if (v.isNull())
        return true;
    using import::FieldType;
    switch (type) {
    case FieldType::Boolean:
        return v.typeId() == QMetaType::Bool;
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        return v.typeId() == QMetaType::Int;
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double:
        return v.typeId() == QMetaType::Double;
    case FieldType::Date:
        return v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid() &&
               v.toDateTime().timeSpec() == Qt::UTC;
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Guid:
        return v.typeId() == QMetaType::QString;
    case FieldType::Binary:
    case FieldType::LongBinary:
        return v.typeId() == QMetaType::QByteArray;
    }
    return false;
}

// QV_FUZZ_VERBOSE=1 prints what each input read, to check that seeds get past the header:
// QV_FUZZ_VERBOSE=1 fuzz_NAME SEED_FILES...
inline void Say(const QString& what) {
    static const bool verbose = qEnvironmentVariableIsSet("QV_FUZZ_VERBOSE");
    if (verbose)
        std::fprintf(stderr, "%s\n", qPrintable(what));
}

// A failure must say which file: one of the files this input made.
inline void CheckMessage(const import::SourceError& e, const Files& files) {
    Say(QStringLiteral("  error: ") + e.message());
    for (const QString& name : files.names())
        if (e.message().contains(name, Qt::CaseInsensitive))
            return;
    Broken(QStringLiteral("a message names none of the files: ") + e.message());
}

// Opens the source and reads all of it: every table, every row, every value by index and the
// last by name. A SourceError ends one table's reading (or all, when opening fails).
inline void Walk(const Files& files, const std::function<std::unique_ptr<import::Source>()>& open) {
    std::unique_ptr<import::Source> source;
    try {
        source = open();
        if (!source)
            Broken(QStringLiteral("no source and no error"));
    } catch (const import::SourceError& e) {
        CheckMessage(e, files);
        return;
    }
    const QStringList names = source->tableNames();
    for (const QString& name : names) {
        try {
            const std::unique_ptr<import::SourceTable> table = source->openTable(name);
            const std::vector<import::SourceField>& fields = table->fields();
            if (fields.size() > size_t(import::kMaxFields))
                Broken(QStringLiteral("more fields than kMaxFields"));
            int rows = 0;
            while (table->next()) {
                ++rows;
                for (int i = 0; i < int(fields.size()); ++i) {
                    const QVariant v = table->value(i);
                    if (!Fits(fields[size_t(i)].type, v))
                        Broken(QStringLiteral("field %1 of type %2 holds a %3")
                                   .arg(fields[size_t(i)].name)
                                   .arg(int(fields[size_t(i)].type))
                                   .arg(QString::fromLatin1(v.typeName())));
                }
                if (!fields.empty()) {
                    if (table->fieldIndex(fields.back().name) < 0)
                        Broken(QStringLiteral("a field is not found by its own name"));
                    table->value(fields.back().name);
                }
            }
            if (table->next())
                Broken(QStringLiteral("a row after the last"));
            Say(QStringLiteral("  table %1: %2 fields, %3 rows")
                    .arg(name)
                    .arg(fields.size())
                    .arg(rows));
        } catch (const import::SourceError& e) {
            CheckMessage(e, files);
        }
    }
}

} // namespace qvfuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (const char* folder = std::getenv("QV_FUZZ_WRITE_SEEDS")) {
        const QDir dir(QString::fromLocal8Bit(folder));
        for (const qvfuzz::Seed& seed : qvfuzz::Seeds()) {
            QFile file(dir.filePath(QString::fromLatin1(seed.name)));
            if (!file.open(QIODevice::WriteOnly) || file.write(seed.bytes) != seed.bytes.size())
                qvfuzz::Broken(QStringLiteral("cannot write the seed ") + file.fileName());
        }
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvfuzz::FuzzOne(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
