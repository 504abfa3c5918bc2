#include "source.h"

namespace import {

int SourceTable::fieldIndex(const QString& name) const {
    const std::vector<SourceField>& all = fields();
    for (int i = 0; i < int(all.size()); ++i)
        if (all[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant SourceTable::value(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0) throw SourceError(QStringLiteral("The table has no field named \"%1\".").arg(name));
    return value(index);
}

} // namespace import
