#pragma once

#include <QString>

// A large project for the benchmarks, written straight into the tables of a project file made
// by the program (CreateNewProject, then closed): customers, invoices spread over them, lines
// spread over the invoices (the first invoice gets firstInvoiceLines of them), and stores of
// items each (the first store tracks stock). IDs and numbers run from 1; the counters are
// raised above them.
struct BenchProjectSize {
    int customers = 5000;
    int invoices = 50000;
    int lines = 200000;
    int stores = 3;
    int itemsPerStore = 50000;
    int firstInvoiceLines = 200;
};

void FillBenchProject(const QString& path, const BenchProjectSize& size);
