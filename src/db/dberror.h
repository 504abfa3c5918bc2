#pragma once

#include <QString>
#include <exception>
#include <string>

namespace db {

// Every engine failure arrives as this exception; its description is shown or traced verbatim.
class Error : public std::exception {
public:
    explicit Error(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toStdString()) {}
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_description;
    std::string m_utf8;
};

} // namespace db
