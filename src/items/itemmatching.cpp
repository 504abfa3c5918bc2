#include "items/invoiceitemslistctrl.h"

// Re-linking lines to their invoices and stores, refreshing them from the stores, and copying
// an invoice's lines into its group invoice.

void CInvoiceItemsListCtrl::RefreshItemPointers(CInvoiceItemRecord&) {}
void CInvoiceItemsListCtrl::MatchItemToInvoiceAndStore() {}
void CInvoiceItemsListCtrl::MatchAllItemsToInvoicesAndStores() {}
void CInvoiceItemsListCtrl::OnRefreshInvoiceItemPointers() { RefreshListCtrlFromRecordset(); }
void CInvoiceItemsListCtrl::FetchAllItemsFromStore() {}
bool CInvoiceItemsListCtrl::CopyItemsToGroupInvoice(int, int) { return false; }
