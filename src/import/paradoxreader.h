#pragma once

#include "source.h"

#include <QString>
#include <memory>

namespace import {

// What a Paradox table's header says about it.
struct ParadoxTableInfo {
    QString tableName;      // the name stored in the header (often not the file's name)
    int version = 0;        // the header's version mark: 3 and 4 are Paradox 3.x, 12 is Paradox 7
    int codePage = 437;     // Paradox 3 headers carry none: 437 then
    qint64 recordCount = 0; // as the header states it
    int recordSize = 0;
    int blockSize = 0;
    bool keyed = false; // the table has a primary index
};

// Reads the header of one .db file; a file that is not a readable Paradox table (an encrypted
// one included) is a SourceError.
ParadoxTableInfo ReadParadoxTableInfo(const QString& dbFile);

// Paradox tables (.db, versions 3 to 7, memos and blobs from the .mb beside each): a folder gives
// each of its .db files as a table named by the file's base name, sorted by name; a single .db
// file gives that one table.
std::unique_ptr<Source> OpenParadoxSource(const QString& path);

} // namespace import
