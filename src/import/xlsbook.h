#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// Excel 5.0 to 2003 workbooks (.xls): the compound file that holds them and the BIFF5 or BIFF8
// records of the workbook stream. The bytes are untrusted: every read is bounds-checked, every
// sector chain is followed with cycle detection and a length limit, nothing is allocated by a
// count in the file beyond what the file's own size allows. Any failure is an import::SourceError
// naming the file.
namespace import::xls {

inline constexpr int kMaxColumns = 256; // column IV, the last of a BIFF8 sheet

// One value of a sheet. Blank cells and error values are not kept.
struct Cell {
    enum class Kind : quint8 { Number, Boolean, Text };
    quint16 row = 0;
    quint16 column = 0;
    quint16 xf = 0; // the cell format, which tells a date from a number
    Kind kind = Kind::Number;
    bool flag = false; // of a Boolean
    double number = 0; // of a Number
    quint32 text = 0;  // of a Text: the index in SheetCells::texts
};

struct SheetCells {
    std::vector<Cell> cells; // by row, then column; a cell given twice keeps its last value
    std::vector<QString> texts;
};

class Book {
public:
    // Reads the file: its compound structure and the workbook's globals.
    explicit Book(const QString& path);
    // The same from bytes already read; shown names the file in messages.
    Book(const QByteArray& bytes, const QString& shown);

    bool biff8() const { return m_biff8; }
    bool date1904() const { return m_date1904; }
    // The worksheets' names in the workbook's order (chart and macro sheets left out).
    const std::vector<QString>& sheetNames() const { return m_names; }
    // The number format of each cell format (XF), and the texts of the formats the file defines.
    const std::vector<quint16>& xfFormats() const { return m_xfFormats; }
    const QHash<int, QString>& formats() const { return m_formats; }

    // The values of one worksheet (0-based, in sheetNames() order).
    SheetCells readSheet(size_t index) const;

private:
    void readGlobals();
    [[noreturn]] void damaged(const QString& why) const;
    QString decode(const QByteArray& bytes) const;

    QString m_shown;
    QByteArray m_stream; // the workbook stream
    bool m_biff8 = true;
    bool m_date1904 = false;
    int m_codePage = 1252;
    std::vector<QString> m_names;
    std::vector<quint32> m_offsets; // of each worksheet's BOF record in the stream
    std::vector<quint16> m_xfFormats;
    QHash<int, QString> m_formats;
    std::vector<QString> m_strings; // the shared strings
};

} // namespace import::xls
