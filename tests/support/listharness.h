#pragma once

// The four list windows and the document wired together as the views wire them, without the
// main frame: for tests of the lists on real (offscreen) windows.
#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "scriptedprompter.h"
#include "stores/storetabctrl.h"
#include "testutil.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

class ListHarness {
public:
    ListHarness() {
        window.resize(900, 900);
        customers = new CCustomerListCtrl(&doc, &window);
        invoices = new CInvoicesListCtrl(&doc, &window);
        items = new CInvoiceItemsListCtrl(&doc, &window);
        stores = new CStoreTabCtrl(&doc, &window);
        customers->setGeometry(0, 0, 900, 250);
        invoices->setGeometry(0, 250, 900, 150);
        items->setGeometry(0, 400, 900, 100);
        stores->setGeometry(0, 500, 900, 400);
        customers->SetInvoiceList(invoices);
        invoices->SetNeighbours(customers, items, stores);
        items->SetNeighbours(invoices, stores);
        doc.SetListOwners(customers, invoices, items, stores);
        window.show();
    }
    ~ListHarness() {
        doc.OnFileCloseProject();
        doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    }

    QString NewProject(const QString& name = QStringLiteral("shop")) {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(name);
        EXPECT_TRUE(doc.CreateNewProject(request)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
        return doc.GetPathName();
    }

    TempFolder folder;
    CScriptedPrompter prompter;
    CQuorvaneDoc doc{&prompter};
    QWidget window;
    CCustomerListCtrl* customers;
    CInvoicesListCtrl* invoices;
    CInvoiceItemsListCtrl* items;
    CStoreTabCtrl* stores;
};
