#pragma once

#include <QString>
#include <vector>

class CQuorvaneDoc;

// The store exchange file: one store with its items, its container list and its discount table
// in an SQLite file of its own, and the way back into a project as a new store. No windows here:
// the commands around these functions ask for the file and show the messages. Both work with
// the document's window owners and with its headless ones.
namespace storeexchange {

// File dialog filters. The extension stays "mdb" so that files keep their old names, but the
// filter says what the file is.
QString SaveFilter();
QString OpenFilter();

// The part of an import that failed, as the message names it.
QString ImportFailureText(const char* part);

} // namespace storeexchange

// Writes the store into a new exchange file at `file`. An existing file there is replaced only
// once the new one is whole; a failed export leaves no file behind. itemOrder: the items' IDs
// in the order to write them (the store's list as shown); items it does not name follow in
// table order. False, with error set, on failure.
bool ExportStore(CQuorvaneDoc& doc, int storeID, const QString& file, QString& error,
                 const std::vector<int>& itemOrder = {});

// Adds the file's store to the open project as a new store, with new identifiers for the store,
// its items, its container list and its discount table, in one transaction: after a failure
// nothing of it is left in the project, and error says what failed. newStoreID, when given,
// receives the new store's identifier.
bool ImportStore(CQuorvaneDoc& doc, const QString& file, QString& error, int* newStoreID = nullptr);
