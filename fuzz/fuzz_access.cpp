// Access databases through libmdb: the input is one .mdb file. libmdb trusts what it reads,
// so the reader checks the file before libmdb sees it; this target looks for what slips past.
#include "fuzzcommon.h"

#include "../tests/support/jetwriter.h"
#include "import/accessreader.h"

namespace {

using namespace jetwriter;

// The first pages of a Jet 3 file (2 KB pages), its catalog page only marked as a definition.
QByteArray Jet3Header() {
    QByteArray file(3 * 2048, '\0');
    Put(file, 0, QByteArray("\0\1\0\0Standard Jet DB\0", 20));
    Put(file, 0x3A, Le16(1252));
    EncryptHeader(file, 126);
    file[2 * 2048] = 2;
    file[2 * 2048 + 1] = 1;
    return file;
}

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    const Table prices{
        QStringLiteral("Prices"),
        {{Long, "Code"}, {Text, "Description"}, {Integer, "Qty"}, {Double, "Price"}, {Date, "Day"}},
        {{1, QStringLiteral("Caf\u00e9 cr\u00e8me"), 12, 2.5, 45000.25},
         {2, QVariant(), QVariant(), QVariant(), -1.25},
         {-3, QString(), 7, -0.5, 1.0}}};
    const Table empty{QStringLiteral("Empty"), {{Text, "Only"}}, {}};
    QByteArray ace = Database({prices});
    Put(ace, 4, "Standard ACE DB");
    Put(ace, 0x14, Le32(2));
    return {
        {"two-tables", Database({prices, empty})},
        {"one-table", Database({prices})},
        {"ace", ace},
        {"jet3-header", Jet3Header()},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    Files files;
    const QString path = files.write(QStringLiteral("t.mdb"), input);
    Walk(files, [&] { return import::OpenAccessSource(path); });
}
