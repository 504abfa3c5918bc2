#pragma once

#include <QString>

// An exchange file kept in an Access database, as older programs wrote it, is read through the
// Access reader into a working copy of the same tables in the program's own file format; the
// import then reads that copy as it reads any exchange file.
namespace storeexchange {

// Writes the Access exchange file `mdb` as a new file at `copy`: the tables the import reads,
// with the program's field names and types; the file's other tables and fields are left out.
// A Null where the program keeps " " or 0 becomes " " or 0. False, with error naming `mdb`,
// when the file cannot be read or holds a value its field cannot take.
bool CopyAccessExchangeFile(const QString& mdb, const QString& copy, QString& error);

} // namespace storeexchange
