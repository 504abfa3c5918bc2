#pragma once

#include <QString>
#include <cstdint>

// A realistic project made through the operations the windows use: three stores with price
// lists (one tracking stock), customers of every kind, invoices in every status, a group order
// with members of two other customers, and lines with back orders. The same seed makes the
// same project.
struct DemoOptions {
    int customers = 60;
    std::uint32_t seed = 1;
};

// False, with the reason in failure, when the project could not be made. Needs a
// QApplication (the lists are real windows, never shown).
bool MakeDemoProject(const QString& path, const DemoOptions& options, QString* failure = nullptr);
