#pragma once

#include <QString>

// A large project for the benchmarks, written straight into the tables of a project file made
// by the program (CreateNewProject, then closed): customers, invoices spread over them, lines
// spread over the invoices (the first invoice gets firstInvoiceLines of them), and stores of
// items each (the first store tracks stock). IDs and numbers run from 1; the counters are
// raised above them.
//
// Optional shapes, off by default so that the other benchmarks keep their layout:
// - bigCustomerInvoices: the last customer holds exactly this many invoices (the last ones);
//   the others are spread over the other customers.
// - groupMembers: customer 2 orders for a group: its first invoice (ID 2) is the group invoice
//   of group 1, without lines; invoices 3 .. 2 + groupMembers (of customers 3 ..) are its
//   members, with groupMemberLines lines each (taken from the spread lines).
struct BenchProjectSize {
    int customers = 5000;
    int invoices = 50000;
    int lines = 200000;
    int stores = 3;
    int itemsPerStore = 50000;
    int firstInvoiceLines = 200;
    int bigCustomerInvoices = 0;
    int groupMembers = 0;
    int groupMemberLines = 50;
};

void FillBenchProject(const QString& path, const BenchProjectSize& size);
