#pragma once

#include <QString>
#include <vector>

namespace db {

// Engine type codes, kept in the file and reported back as they were created.
enum class Type : int { Boolean = 1, Integer = 3, Long = 4, Double = 7, Date = 8, Text = 10 };

struct FieldDef {
    QString name;
    Type type = Type::Long;
    int size = 0; // characters for Text, 0 for every other type

    // 0x20 updatable; 0x22 updatable and variable length (Text and Date/Time).
    int attributes() const { return (type == Type::Text || type == Type::Date) ? 0x22 : 0x20; }
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;

    TableDef& add(const QString& field, Type type, int size = 0) {
        fields.push_back({field, type, type == Type::Text ? size : 0});
        return *this;
    }
};

// Declared SQL type that carries a field's engine type (and size) inside the file.
QString declaredType(const FieldDef& field);
// Reverse of declaredType; false for a declaration this engine did not write.
bool parseDeclaredType(const QString& declared, Type& type, int& size);

} // namespace db
