// Delimited text: the input is one .csv file.
#include "fuzzcommon.h"

#include "import/textreader.h"

#include <QStringEncoder>

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    const QString text = QStringLiteral("Nom;Prix\nCaf\u00e9 cr\u00e8me;1.5\n");
    QStringEncoder le(QStringConverter::Utf16LE);
    QStringEncoder be(QStringConverter::Utf16BE);
    return {
        {"comma", "code,text\r\n1,\"say \"\"hi\"\"\"\r\n2,\"two\r\nlines, one value\"\r\n"
                  "3,5\" pipe\r\n4,\"cut\"tail\r\n5,\"\"\r\n6,last"},
        {"semicolon", "n;d;b;t;when\n7;2.25;yes;abc;2020-05-06 07:08:09\n;;;;\n8;1\n"
                      "9;3;no;x;2020-01-01;extra\n"},
        {"tab", "\n\na\tb\tc\n1\tx,y\t2024-02-29\n2\t\t1899-12-30 08:05\n"},
        {"names", " Code ,,Price,price,Field2,Code\n1,2147483648,-.5,1e3,007,True\n"},
        {"utf8-bom", "\xEF\xBB\xBF" + text.toUtf8()},
        {"utf16le-bom", "\xFF\xFE" + QByteArray(le.encode(text))},
        {"utf16be", QByteArray(be.encode(text))},
        {"cp1252", "Nom;Prix\nCaf\xe9 cr\xe8me;1\nP\xe2t\xe9 de foie;2\nGr\xfc\xdf"
                   "e \x80;3\n"},
        {"cp1251", "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5;Price\n\xcf\xf0\xe8\xe2\xe5\xf2 "
                   "\xec\xe8\xf0;1\n"},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    Files files;
    const QString path = files.write(QStringLiteral("t.csv"), input);
    Walk(files, [&] { return import::OpenTextSource(path); });
}
