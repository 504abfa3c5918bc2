#include "app/demoproject.h"

#include "app/hiddenlists.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "project/quorvanedoc.h"
#include "stores/pricingrules.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"

#include <QFile>
#include <QTabBar>
#include <QWidget>
#include <algorithm>
#include <array>
#include <random>

namespace {

const std::array<const char*, 24> kFirst = {"Anna", "Ben", "Clara", "David", "Emma", "Frank", "Grace", "Henry",
                                            "Iris", "Jack", "Kate", "Leo", "Maria", "Noah", "Olivia", "Paul",
                                            "Quinn", "Rosa", "Sam", "Tina", "Uma", "Victor", "Wendy", "Yusuf"};
const std::array<const char*, 20> kLast = {"Adams", "Baker", "Carter", "Dalton", "Evans", "Fischer", "Garcia",
                                           "Hughes", "Ibsen", "Jensen", "Keller", "Lopez", "Meyer", "Novak",
                                           "Olsen", "Price", "Rossi", "Schultz", "Turner", "Walsh"};
const std::array<const char*, 8> kBusiness = {"Corner Cafe", "Green Leaf Co-op", "Harbor Bakery", "Hilltop Deli",
                                              "Maple School", "Riverside Church", "Sunrise Diner", "Union Hall"};
const std::array<const char*, 10> kCities = {"Springfield", "Riverton", "Lakeside", "Fairview", "Oak Hill",
                                             "Milford", "Greenville", "Ashland", "Clayton", "Dover"};
const std::array<const char*, 16> kGoods = {"Rolled oats", "Brown rice", "Red lentils", "Almonds", "Walnuts",
                                            "Raisins", "Honey", "Olive oil", "Maple syrup", "Chickpeas",
                                            "Quinoa", "Sunflower seeds", "Dried apricots", "Pasta", "Black beans",
                                            "Coffee beans"};
const std::array<const char*, 6> kPacks = {"1 lb bag", "2 lb bag", "5 lb bag", "25 lb sack", "1 qt jar", "case of 12"};

struct StoreProfile {
    const char* tab;
    const char* name;
    const char* code;
    double shipping;
    bool trackStock;
};
const std::array<StoreProfile, 3> kStores = {{{"Valley Foods", "Valley Wholesale Foods", "VF", 0.35, false},
                                           {"Bulk Barn", "The Bulk Barn", "BB", 0.28, true},
                                           {"Orchard", "Orchard Growers Supply", "OG", 0.42, false}}};

class CDemoMaker {
public:
    CDemoMaker(const DemoOptions& options, QString& failure)
        : m_options(options), m_failure(failure), m_random(options.seed) {}

    bool Make(const QString& path) {
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        request.description = QStringLiteral("Demo project: orders of a buying club");
        if (!m_doc.CreateNewProject(request)) return Fail(QStringLiteral("The project could not be created."));
        {
            // One transaction: the file is written once, and a failure leaves no half project.
            db::Transaction tx(*m_doc.GetPtrDatabase());
            if (!MakeStores() || !MakeCustomers() || !MakeInvoices() || !MakeGroupOrder()) return false;
            tx.commit();
        }
        if (!m_prompter.m_messages.isEmpty()) return Fail(m_prompter.m_messages.join(QLatin1Char('\n')));
        return true;
    }

private:
    bool Fail(const QString& why) {
        m_failure = why;
        return false;
    }
    int Pick(int n) { return int(m_random() % std::uint32_t(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    double Between(double low, double high) { return low + (high - low) * (m_random() % 10000) / 10000.0; }

    bool MakeStores() {
        for (size_t k = 0; k < kStores.size(); ++k) {
            const StoreProfile& shop = kStores[k];
            CStoreRecord store;
            if (k == 0) {
                // The project's first store exists already: it takes the first name.
                db::Recordset& rs = *m_stores->GetPtrRecordset();
                rs.moveFirst();
                CStoreTabCtrl::XferRecordsetToDlg(rs, store);
            } else {
                store.DiscTableID = m_doc.GetDefaultDiscTableID();
                store.ContainerID = m_doc.GetDefaultContainerID();
            }
            store.StoreTabName = QLatin1String(shop.tab);
            store.StoreName = QLatin1String(shop.name);
            store.City = QLatin1String(kCities[k]);
            store.State = QStringLiteral("OR");
            store.Phone = QStringLiteral("(541) 555-01%1").arg(10 + k);
            store.ShippingCost = shop.shipping;
            store.TrackStockQty = shop.trackStock ? 1 : 0;
            if (k == 0) {
                db::Recordset& rs = *m_stores->GetPtrRecordset();
                rs.edit();
                CStoreTabCtrl::XferDlgToRecordset(store, rs);
                rs.update();
                m_stores->TabBar()->setTabText(0, store.StoreTabName);
            } else if (!m_stores->AddStore(store)) {
                return Fail(QStringLiteral("A store could not be added."));
            }
        }
        for (int index = 0; index < m_stores->GetStoreCount(); ++index) {
            const int storeID = m_stores->GetStoreIDFromIndex(index);
            m_stores->ShowStoreTabUsingID(storeID);
            CStoreListCtrl* list = m_stores->CurrentStoreList();
            if (!list || list->GetStoreID() != storeID)
                return Fail(QStringLiteral("A store's list is missing."));
            const StoreProfile& shop = kStores[size_t(index)];
            for (size_t g = 0; g < kGoods.size(); ++g)
                for (size_t p = 0; p < kPacks.size(); ++p) {
                    if (Chance(35)) continue;
                    CStoreItemRecord item;
                    item.ItemCode = QStringLiteral("%1-%2").arg(QLatin1String(shop.code)).arg(100 + g * 10 + p);
                    item.Description = QStringLiteral("%1, %2").arg(QLatin1String(kGoods[g]), QLatin1String(kPacks[p]));
                    item.ShipPounds = std::round(Between(0.5, 30.0) * 10) / 10;
                    item.ShipOunces = item.ShipPounds * 16;
                    item.ProdPounds = item.ShipPounds * 0.9;
                    item.ProdOunces = item.ProdPounds * 16;
                    item.BaseLinePrice = std::round(Between(2.0, 80.0) * 100) / 100;
                    const CItemPrices prices = PricesFromDiscount(item.BaseLinePrice, 0.10, 0.25, item.ProdOunces);
                    item.DiscountPrice = prices.discountPrice;
                    item.MarkupPrice = prices.markupPrice;
                    item.BasePricePerOz = PricePerOunce(item.BaseLinePrice, item.ProdOunces);
                    item.DiscPricePerOz = prices.discPricePerOz;
                    item.MarkupPricePerOz = prices.markupPricePerOz;
                    item.DiscountPercent = 0.10;
                    item.MarkupPercent = 0.25;
                    item.QtyInStock = shop.trackStock ? Pick(4) : 0;
                    if (!list->AddStoreItem(item)) return Fail(QStringLiteral("A store item could not be added."));
                    m_storeItems.push_back({storeID, item.ID});
                }
        }
        return true;
    }

    bool MakeCustomers() {
        for (int n = 0; n < m_options.customers; ++n) {
            CCustomerRecord c;
            c.CustomerNbr = m_doc.GetHighWaterCustomerNbr();
            c.Business = Chance(20) ? 1 : 0;
            c.Name = c.Business ? QStringLiteral("%1 #%2").arg(QLatin1String(kBusiness[size_t(Pick(int(kBusiness.size())))])).arg(n + 1)
                                : QStringLiteral("%1, %2").arg(QLatin1String(kLast[size_t(Pick(int(kLast.size())))]),
                                                                QLatin1String(kFirst[size_t(Pick(int(kFirst.size())))]));
            c.Address1 = QStringLiteral("%1 %2 Street").arg(10 + Pick(990)).arg(QLatin1String(kLast[size_t(Pick(int(kLast.size())))]));
            c.City = QLatin1String(kCities[size_t(Pick(int(kCities.size())))]);
            c.State = QStringLiteral("OR");
            c.Zip = QString::number(97000 + Pick(999));
            c.Phone = QStringLiteral("(541) 555-%1").arg(1000 + Pick(9000));
            c.Taxable = Chance(70) ? 1 : 0;
            c.TaxRate = c.Taxable ? 0.0725 : 0.0;
            c.DiscountRate = std::array<double, 4>{0.0, 0.0, 0.05, 0.10}[size_t(Pick(4))];
            c.PriceChoice = Pick(3);
            // A few order for a group; the first always does, so every demo has a group order.
            c.ShareOrder = (n == 0 || Chance(2)) ? 1 : 0;
            if (!m_customers->AddCustomer(c)) return Fail(QStringLiteral("A customer could not be added."));
            m_customerIDs.push_back(c.ID);
            if (c.ShareOrder) m_groupOrderers.push_back(c.ID);
        }
        return true;
    }

    bool SelectCustomer(int id) {
        const int row = m_customers->Model()->RowOfID(id);
        if (row < 0) return false;
        m_customers->SelectOnly(row);
        return m_customers->GetCustomerID() == id;
    }

    // Buys one store item onto the current invoice, as the Buy button does.
    bool Buy(const std::pair<int, int>& storeItem) {
        m_stores->ShowStoreTabUsingID(storeItem.first);
        CStoreListCtrl* list = m_stores->CurrentStoreList();
        const int row = list ? list->Model()->RowOfID(storeItem.second) : -1;
        if (row < 0) return Fail(QStringLiteral("A store item is not listed."));
        list->SelectOnly(row);
        list->AddItemToInvoice(row);
        return true;
    }

    bool AddInvoiceFor(int customerID, int& invoiceID) {
        if (!SelectCustomer(customerID)) return Fail(QStringLiteral("A customer could not be selected."));
        CInvoiceRecord r = m_invoices->NewInvoiceRecord();
        r.DateEntered -= Between(5, 90);
        if (!m_invoices->AddInvoice(r)) return Fail(QStringLiteral("An invoice could not be added."));
        invoiceID = r.ID;
        return true;
    }

    bool BuyLines(int lines) {
        for (int k = 0; k < lines; ++k) {
            if (!Buy(m_storeItems[size_t(Pick(int(m_storeItems.size())))])) return false;
            // Some lines are wanted more than once: the quantity button, as the user does.
            for (int more = Chance(30) ? 1 + Pick(3) : 0; more > 0; --more) m_items->ShiftQuantity(true);
        }
        return true;
    }

    // Moves the current invoice along its statuses as the dialog's boxes would.
    bool Advance(int invoiceID, int stage) {
        if (stage == 0) return true;
        CInvoiceRecord before;
        if (!m_invoices->ActivateRecordInRecordset(invoiceID)) return Fail(QStringLiteral("An invoice was lost."));
        CInvoicesListCtrl::XferRecordsetToDlg(*m_invoices->GetPtrRecordset(), before);
        CInvoiceRecord after = before;
        const double day = before.DateEntered;
        after.Ordered = true;
        after.DateOrdered = day + 1;
        if (stage == 1 && Chance(30)) {
            after.OnHold = true;
            after.DateOnHold = day + 2;
        }
        if (stage >= 2) {
            const bool pickup = Chance(30);
            (pickup ? after.PickedUp : after.Shipped) = true;
            (pickup ? after.DatePickedUp : after.DateShipped) = day + 3;
        }
        if (stage >= 3 && after.Shipped) {
            after.Received = true;
            after.DateReceived = day + 6;
        }
        if (stage >= 4) {
            after.AmountPaid = stage == 4 && Chance(40) ? std::round(before.InvoiceTotal * 50) / 100 : before.InvoiceTotal;
            after.Paid = after.AmountPaid >= before.InvoiceTotal;
            after.DatePaid = day + 10;
        }
        if (stage >= 5) {
            after.Closed = true;
            after.DateClosed = day + 12;
        }
        return m_invoices->StoreEditedInvoice(before, after) || Fail(QStringLiteral("An invoice could not be stored."));
    }

    bool MakeInvoices() {
        for (int customerID : m_customerIDs) {
            // A customer who orders for a group gets group invoices only: the group order.
            if (std::find(m_groupOrderers.begin(), m_groupOrderers.end(), customerID) != m_groupOrderers.end()) continue;
            const int count = Pick(4); // 0 to 3 invoices
            for (int k = 0; k < count; ++k) {
                int invoiceID = -1;
                if (!AddInvoiceFor(customerID, invoiceID) || !BuyLines(1 + Pick(5))) return false;
                if (!Advance(invoiceID, Pick(6))) return false;
            }
        }
        return true;
    }

    // A group order: the organiser's group invoice, and members of two other customers.
    bool MakeGroupOrder() {
        if (m_groupOrderers.empty() || m_customerIDs.size() < 3) return true;
        int groupInvoiceID = -1;
        if (!AddInvoiceFor(m_groupOrderers.front(), groupInvoiceID)) return false;
        m_invoices->ActivateRecordInRecordset(groupInvoiceID);
        const int group = m_invoices->GetInvoiceGroupID();
        int joined = 0;
        for (int customerID : m_customerIDs) {
            if (joined == 2) break;
            if (std::find(m_groupOrderers.begin(), m_groupOrderers.end(), customerID) != m_groupOrderers.end()) continue;
            int memberID = -1;
            if (!AddInvoiceFor(customerID, memberID)) return false;
            CInvoiceRecord before;
            m_invoices->ActivateRecordInRecordset(memberID);
            CInvoicesListCtrl::XferRecordsetToDlg(*m_invoices->GetPtrRecordset(), before);
            CInvoiceRecord after = before;
            after.InvoiceGroupID = group; // typed into "Grp #"
            if (!m_invoices->StoreEditedInvoice(before, after)) return Fail(QStringLiteral("A member could not join."));
            if (!BuyLines(3 + Pick(3))) return false;
            ++joined;
        }
        return true;
    }

    const DemoOptions& m_options;
    QString& m_failure;
    std::mt19937 m_random;
    CRecordingPrompter m_prompter;
    CQuorvaneDoc m_doc{&m_prompter};
    CHiddenLists m_lists{m_doc};
    CCustomerListCtrl* const m_customers = m_lists.customers;
    CInvoicesListCtrl* const m_invoices = m_lists.invoices;
    CInvoiceItemsListCtrl* const m_items = m_lists.items;
    CStoreTabCtrl* const m_stores = m_lists.stores;
    std::vector<std::pair<int, int>> m_storeItems; // store ID, item ID
    std::vector<int> m_customerIDs;
    std::vector<int> m_groupOrderers;
};

} // namespace

bool MakeDemoProject(const QString& path, const DemoOptions& options, QString* failure) {
    QString why;
    if (QFile::exists(path)) why = QStringLiteral("The file exists already: %1").arg(path);
    bool made = false;
    if (why.isEmpty()) {
        CDemoMaker maker(options, why);
        made = maker.Make(path);
    }
    if (!made) {
        // Nothing half made is left behind.
        if (why.indexOf(QStringLiteral("exists already")) < 0) QFile::remove(path);
        if (failure) *failure = why;
    }
    return made;
}
