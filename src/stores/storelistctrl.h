#pragma once

#include "listwin/listwindow.h"

class CStoreTabCtrl;

// The price list of one store, under its tab, and the owner of its "StoreItems_%d" table.
class CStoreListCtrl : public CListWindow {
    Q_OBJECT
public:
    CStoreListCtrl(CQuorvaneDoc* doc, CStoreTabCtrl* tabs, QWidget* parent = nullptr);
    ~CStoreListCtrl() override;

    void DefineTableName(int storeID);
    int GetStoreID() const { return m_storeID; }

    void OnEditAddItem() override;
    void OnEditItem() override;
    void OnEditDelItem() override;

    int GetStoreItemIDFromItemCode(const QString& code);

    // Pricing applied to the current item and to all items of the store.
    void UpdateCurrentRecordDiscPercent(const QString& groupName, double percent);
    void UpdateCurrentRecordContainerName(const QString& name);
    void ResetAllDiscCategories();
    void ResetAllContainerNames();

protected:
    QString CellText(int columnIndex) override;

private:
    CStoreTabCtrl* m_pTabs;
    int m_storeID = -1;
};
