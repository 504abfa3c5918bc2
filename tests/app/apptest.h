#pragma once

#include "testutil.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Every window test gets its own settings file in a scratch folder.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.root());
    }
    QSettings Settings() const {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pellor Software"),
                         QStringLiteral("Quorvane"));
    }

    TempFolder settingsFolder;
    TempFolder folder;
};
