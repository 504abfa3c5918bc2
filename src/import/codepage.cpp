#include "codepage.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace import {

bool IsValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int extra;
        char32_t cp;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
        else return false;
        if (i + extra >= n) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString DecodeCodePage(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return {};
    if (codePage == 65001) return QString::fromUtf8(bytes);
    const QByteArray name = "CP" + QByteArray::number(codePage);
    iconv_t cd = iconv_open("UTF-16LE", name.constData());
    if (cd == iconv_t(-1)) cd = iconv_open("UTF-16LE", "CP1252");
    if (cd == iconv_t(-1)) return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    std::vector<char> buffer(4096);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(reinterpret_cast<const QChar*>(buffer.data()), qsizetype((buffer.size() - outLeft) / 2));
        if (rc == size_t(-1) && errno != E2BIG) { // a byte the code page does not define
            out.append(QChar::ReplacementCharacter);
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace import
