#pragma once

// A small Access (Jet 4) database written page by page, for tests, fuzz seeds and benchmarks:
// the header, a page of usage maps, the catalog (MSysObjects with the four columns a reader
// needs) and user tables of long, integer, double, date and text columns.
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstring>
#include <utility>
#include <vector>

namespace jetwriter {

constexpr int kPage = 4096;

enum ColumnType { Integer = 3, Long = 4, Double = 7, Date = 8, Text = 10 };

struct Column {
    ColumnType type;
    QString name;
};

struct Table {
    QString name;
    std::vector<Column> columns;
    std::vector<std::vector<QVariant>> rows; // a null QVariant is NULL
};

inline QByteArray Le16(int v) {
    return QByteArray(1, char(v)) + char(v >> 8);
}
inline QByteArray Le32(quint32 v) {
    return Le16(int(v & 0xFFFF)) + Le16(int(v >> 16));
}
inline QByteArray Le64(double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    return Le32(quint32(u)) + Le32(quint32(u >> 32));
}
inline void Put(QByteArray& at, int offset, const QByteArray& bytes) {
    at.replace(offset, bytes.size(), bytes);
}
inline QByteArray Utf16(const QString& text) {
    QByteArray out;
    for (const QChar c : text)
        out += Le16(c.unicode());
    return out;
}

// The header's second part (length bytes from 0x18: 128 in Jet 4, 126 in Jet 3) is stored
// RC4-encrypted with a fixed key.
inline void EncryptHeader(QByteArray& page, int length) {
    static const unsigned char key[] = {0xC7, 0xDA, 0x39, 0x6B};
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = (unsigned char)i;
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (int k = 0, i = 0, j = 0; k < length; ++k) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        page[0x18 + k] = char(uchar(page[0x18 + k]) ^ s[(s[i] + s[j]) & 0xFF]);
    }
}

inline QByteArray Header() {
    QByteArray page(kPage, '\0');
    Put(page, 0, QByteArray("\0\1\0\0Standard Jet DB\0", 20));
    Put(page, 0x14, Le32(1));
    Put(page, 0x3C, Le16(1252));
    EncryptHeader(page, 128);
    return page;
}

// A data page of the table defined on page tdef, its first row at the page's end.
inline QByteArray DataPage(int tdef, const std::vector<QByteArray>& rows) {
    QByteArray page(kPage, '\0');
    page[0] = 1;
    page[1] = 1;
    Put(page, 4, Le32(quint32(tdef)));
    Put(page, 0x0C, Le16(int(rows.size())));
    int end = kPage;
    for (size_t i = 0; i < rows.size(); ++i) {
        end -= int(rows[i].size());
        Put(page, end, rows[i]);
        Put(page, 0x0E + 2 * int(i), Le16(end));
    }
    Put(page, 2, Le16(end - 0x0E - 2 * int(rows.size())));
    return page;
}

// A usage map (type 0: a bitmap from page 0) naming the given pages.
inline QByteArray UsageMap(const std::vector<int>& pages) {
    QByteArray bits(4, '\0');
    for (const int p : pages) {
        if (p / 8 >= bits.size())
            bits.resize(p / 8 + 1, '\0');
        bits[p / 8] = char(bits[p / 8] | (1 << (p % 8)));
    }
    return QByteArray(1, '\0') + Le32(0) + bits;
}

inline bool Fixed(ColumnType type) {
    return type != Text;
}
inline int Width(ColumnType type) {
    return type == Integer ? 2 : type == Long ? 4 : type == Text ? 510 : 8;
}

// A table definition; usage and free: the row pointers (page << 8 | row) of its two maps.
inline QByteArray Definition(const std::vector<Column>& columns, int rows, quint32 usage,
                             quint32 free) {
    QByteArray page(kPage, '\0');
    page[0] = 2;
    page[1] = 1;
    page[2] = 'V';
    page[3] = 'C';
    Put(page, 0x10, Le32(quint32(rows)));
    page[0x28] = 0x4E;
    int vars = 0;
    for (const Column& c : columns)
        vars += Fixed(c.type) ? 0 : 1;
    Put(page, 0x29, Le16(int(columns.size())));
    Put(page, 0x2B, Le16(vars));
    Put(page, 0x2D, Le16(int(columns.size())));
    Put(page, 0x37, Le32(usage));
    Put(page, 0x3B, Le32(free));
    int at = 0x3F, var = 0, fixedOffset = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        QByteArray e(25, '\0');
        e[0] = char(c.type);
        Put(e, 5, Le16(int(i)));
        Put(e, 7, Le16(Fixed(c.type) ? 0 : var));
        Put(e, 9, Le16(int(i)));
        e[15] = char(Fixed(c.type) ? 0x03 : 0x02);
        Put(e, 21, Le16(Fixed(c.type) ? fixedOffset : 0));
        Put(e, 23, Le16(Width(c.type)));
        if (Fixed(c.type))
            fixedOffset += Width(c.type);
        else
            ++var;
        Put(page, at, e);
        at += 25;
    }
    for (const Column& c : columns) {
        const QByteArray name = Utf16(c.name);
        Put(page, at, Le16(int(name.size())) + name);
        at += 2 + int(name.size());
    }
    Put(page, 8, Le32(quint32(at)));
    return page;
}

// One row: the fixed values in column order, then the texts, their offsets backwards from the
// end, the count of texts and the null mask (a set bit: a value).
inline QByteArray Row(const std::vector<Column>& columns, const std::vector<QVariant>& values) {
    QByteArray fixed, var;
    QByteArray nulls((int(columns.size()) + 7) / 8, '\0');
    for (size_t i = 0; i < columns.size(); ++i) {
        const QVariant v = i < values.size() ? values[i] : QVariant();
        if (!v.isNull())
            nulls[int(i / 8)] = char(nulls[int(i / 8)] | (1 << (i % 8)));
        switch (columns[i].type) {
        case Integer:
            fixed += Le16(v.toInt());
            break;
        case Long:
            fixed += Le32(quint32(v.toInt()));
            break;
        case Double:
        case Date:
            fixed += Le64(v.toDouble());
            break;
        case Text:
            break;
        }
    }
    std::vector<int> offsets;
    int at = 2 + int(fixed.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        if (Fixed(columns[i].type))
            continue;
        offsets.push_back(at);
        const QByteArray text = Utf16(i < values.size() ? values[i].toString() : QString());
        var += text;
        at += int(text.size());
    }
    offsets.push_back(at); // where the data ends
    QByteArray row = Le16(int(columns.size())) + fixed + var;
    for (auto it = offsets.rbegin(); it != offsets.rend(); ++it)
        row += Le16(*it);
    return row + Le16(int(offsets.size()) - 1) + nulls;
}

// Rows packed into pages as they fit.
inline std::vector<std::vector<QByteArray>> Paged(const std::vector<QByteArray>& rows) {
    std::vector<std::vector<QByteArray>> pages(1);
    int used = 0x0E;
    for (const QByteArray& r : rows) {
        if (used + 2 + r.size() > kPage && !pages.back().empty()) {
            pages.emplace_back();
            used = 0x0E;
        }
        pages.back().push_back(r);
        used += 2 + int(r.size());
    }
    return pages;
}

// Pages: 0 header, 1 usage maps, 2 the catalog's definition, its rows, then per table its
// definition and its rows.
inline QByteArray Database(const std::vector<Table>& tables) {
    const std::vector<Column> catalog = {
        {Long, "Id"}, {Text, "Name"}, {Integer, "Type"}, {Long, "Flags"}};
    std::vector<std::vector<std::vector<QByteArray>>> tablePages;
    for (const Table& t : tables) {
        std::vector<QByteArray> rows;
        for (const auto& values : t.rows)
            rows.push_back(Row(t.columns, values));
        tablePages.push_back(Paged(rows));
    }
    std::vector<QByteArray> catalogRows;
    catalogRows.push_back(Row(catalog, {2, QStringLiteral("MSysObjects"), 1, int(0x80000002u)}));
    int next = 3 + 1; // after the catalog's one page of rows
    std::vector<int> definitions;
    for (size_t i = 0; i < tables.size(); ++i) {
        definitions.push_back(next);
        catalogRows.push_back(Row(catalog, {next, tables[i].name, 1, 0}));
        next += 1 + int(tablePages[i].size());
    }
    std::vector<QByteArray> maps = {UsageMap({3}), UsageMap({})};
    for (size_t i = 0; i < tables.size(); ++i) {
        std::vector<int> pages;
        for (size_t p = 0; p < tablePages[i].size(); ++p)
            pages.push_back(definitions[i] + 1 + int(p));
        maps.push_back(UsageMap(pages));
        maps.push_back(UsageMap({}));
    }
    QByteArray file = Header() + DataPage(2, maps);
    file += Definition(catalog, int(catalogRows.size()), 0x100, 0x101);
    file += DataPage(2, catalogRows);
    for (size_t i = 0; i < tables.size(); ++i) {
        const quint32 map = 0x100 + 2 + 2 * quint32(i);
        file += Definition(tables[i].columns, int(tables[i].rows.size()), map, map + 1);
        for (const auto& page : tablePages[i])
            file += DataPage(definitions[i], page);
    }
    return file;
}

} // namespace jetwriter
