#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

namespace db {

// Every engine failure arrives as this exception; its description is shown or traced verbatim.
class Error : public std::exception {
public:
    explicit Error(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toStdString()) {
        ++Made();
    }
    // How many engine errors this thread has made. A command that must be all or nothing
    // compares it before and after calling others that catch and report their own failures.
    static std::uint64_t MadeCount() { return Made(); }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    static std::uint64_t& Made() {
        thread_local std::uint64_t count = 0;
        return count;
    }
    QString m_description;
    std::string m_utf8;
};

} // namespace db
