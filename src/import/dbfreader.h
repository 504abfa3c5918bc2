#pragma once

#include "import/source.h"

#include <QString>
#include <memory>

namespace import {

// Opens dBase (II, III, IV, 5) and FoxPro (2.x, Visual FoxPro) tables with their .dbt or .fpt
// memo files. PATH is one .dbf file (one table) or a folder whose .dbf files are each a table,
// named by the file's base name and listed sorted by name. A missing path, a folder without
// tables or a file that is no dBase table is a SourceError.
std::unique_ptr<Source> OpenDbfSource(const QString& path);

// The code page that a .dbf header's language-driver byte names; 0 when it names none.
// 620 is the Polish Mazovia page and 895 the Czech Kamenicky page (decoded by this reader).
int DbfCodePage(unsigned char languageDriver);

} // namespace import
