#pragma once

#include <QString>

namespace qvtool {

// One line on standard output, UTF-8.
void Out(const QString& line);
// The message on standard error; returns the failure exit status.
int Fail(const QString& message);
// Tabs, line breaks and backslashes written as \t, \n, \r and \\ so that a row stays one line.
QString Escaped(const QString& text);

} // namespace qvtool
