#pragma once

#include "import/source.h"

#include <memory>
#include <optional>

namespace import {

// Opens a source of the given kind: a file, or a folder whose files of that kind are its
// tables. Every failure is a SourceError naming the file.
std::unique_ptr<Source> OpenSource(SourceKind kind, const QString& path);

// The kind told from a file's first bytes and its extension, or for a folder from the files it
// holds; nothing when no reader knows it.
std::optional<SourceKind> DetectSourceKind(const QString& path);

// "access", "dbase", "foxpro", "excel", "paradox", "text" (any case).
std::optional<SourceKind> SourceKindFromName(const QString& name);

} // namespace import
