#include "demodriver.h"

#include "app/demoproject.h"
#include "app/helpwindow.h"
#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "stores/storetabctrl.h"
#include "trace/tracewindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

namespace {

// Answers the program's questions for the demo: dialogs are filled by the queued handlers,
// messages take their default answer, choosers are cancelled.
class CDemoPrompter : public CPrompter {
public:
    Answer MessageBox(const QString& text, Buttons, Icon, Answer defaultAnswer) override {
        m_messages << text;
        return defaultAnswer;
    }
    QString GetOpenFileName(const FileRequest&) override { return {}; }
    QString GetSaveFileName(const FileRequest&) override { return {}; }
    bool ChooseColor(unsigned&) override { return false; }
    int ExecDialog(QDialog& dialog) override {
        if (m_handlers.empty()) return QDialog::Rejected;
        auto handler = std::move(m_handlers.front());
        m_handlers.pop_front();
        return handler(dialog);
    }
    void Then(std::function<int(QDialog&)> handler) { m_handlers.push_back(std::move(handler)); }

    QStringList m_messages;

private:
    std::deque<std::function<int(QDialog&)>> m_handlers;
};

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void SetText(QDialog& dialog, const char* name, const QString& text) {
    if (auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(name))) edit->setText(text);
    else if (auto* plain = dialog.findChild<QPlainTextEdit*>(QLatin1String(name))) plain->setPlainText(text);
}

class CDemo {
public:
    CDemo(CQuorvaneMain& frame, const QString& dir) : m_frame(frame), m_dir(dir) {}

    void Run() {
        QDir().mkpath(m_dir);
        m_frame.setGeometry(20, 20, 1100, 800);
        Settle();
        Shot(m_frame, "01-start");

        // The trace window collects from the start; its picture is taken at the end.
        m_frame.OnTraceWindow();
        m_frame.TraceWindow()->hide();

        CPrompter& own = m_frame.Doc().Prompter();
        m_frame.Doc().SetPrompter(&m_prompter);
        const QString project = m_scratch.filePath(QStringLiteral("demo.qvp"));
        m_prompter.Then([this, project](QDialog& d) {
            SetText(d, "editProjectFile", project);
            SetText(d, "editDescription", QStringLiteral("Orders for the spring market"));
            return Accept(d, "02-new-project-dialog");
        });
        m_frame.OnFileNew();
        Settle();

        const char* customers[3][3] = {{"Alder & Finch Bakery", "Rivertown", "(555) 201-3344"},
                                       {"Brookside Day Care", "Lakeside", "(555) 418-0071"},
                                       {"Cedar Hill Tenants' Club", "Hillcrest", "(555) 730-5512"}};
        for (int i = 0; i < 3; ++i) {
            m_prompter.Then([this, i, customers](QDialog& d) {
                SetText(d, "editName", QString::fromUtf8(customers[i][0]));
                SetText(d, "editCity", QString::fromUtf8(customers[i][1]));
                SetText(d, "editPhone", QString::fromUtf8(customers[i][2]));
                return Accept(d, i == 0 ? "03-customer-dialog" : nullptr);
            });
            m_frame.Action("actionAddCustomer")->trigger();
            Settle();
        }

        m_prompter.Then([this](QDialog& d) {
            SetText(d, "editStoreTabName", QStringLiteral("Hartley Hardware"));
            SetText(d, "editStoreName", QStringLiteral("Hartley Hardware Supply"));
            return Accept(d, "04-store-dialog");
        });
        m_frame.Action("actionAddStore")->trigger();
        Settle();
        // A price list for the first store, typed into the item dialog as a person would.
        const char* items[3][5] = {{"F-100", "Rye flour, stone ground", "bag", "24.00", "400"},
                                   {"O-220", "Sunflower oil, cold pressed", "bottle", "7.85", "33.8"},
                                   {"H-031", "Clover honey", "jug", "18.50", "80"}};
        for (int i = 0; i < 3; ++i) {
            m_prompter.Then([this, i, items](QDialog& d) {
                SetText(d, "editItemCode", QString::fromUtf8(items[i][0]));
                SetText(d, "editDescription", QString::fromUtf8(items[i][1]));
                if (auto* combo = d.findChild<QComboBox*>(QStringLiteral("comboContainer"))) {
                    const int at = combo->findText(QString::fromUtf8(items[i][2]));
                    if (at >= 0) {
                        combo->setCurrentIndex(at);
                        emit combo->activated(at);
                    }
                }
                TypeField(d, "editBasePrice", QString::fromUtf8(items[i][3]));
                TypeField(d, "editMarkupPercent", QStringLiteral("35"));
                TypeField(d, "editProdOunces", QString::fromUtf8(items[i][4]));
                TypeField(d, "editShipOunces", QString::number(QString::fromUtf8(items[i][4]).toDouble() + 4));
                return Accept(d, i == 0 ? "11-store-item-dialog" : nullptr);
            });
            m_frame.Action("actionAddStoreItem")->trigger();
            Settle();
        }
        if (CCustomerListCtrl* list = m_frame.UpperView()->Customers(); list->GetItemCount() > 0) list->SelectOnly(0);
        Settle();
        Shot(m_frame, "05-project");
        // The same with the upper pane dragged taller, as a user would to see the invoice lines.
        const QList<int> sizes = m_frame.Splitter()->sizes();
        m_frame.Splitter()->setSizes({560, sizes.value(0) + sizes.value(1) - 560});
        Settle();
        Shot(m_frame, "05b-taller-upper-pane");
        m_frame.Splitter()->setSizes(sizes);
        Settle();

        for (const auto& [action, name] : {std::pair{"actionProjectInfo", "06-project-info"},
                                           std::pair{"actionColumnTitles", "07-column-titles"},
                                           std::pair{"actionWindowColors", "08-window-colors"},
                                           std::pair{"actionAbout", "09-about"},
                                           std::pair{"actionDiscountTables", "12-discount-tables"},
                                           std::pair{"actionContainersList", "13-containers"}}) {
            m_prompter.Then([this, name](QDialog& d) {
                Shoot(d, name);
                return int(QDialog::Rejected);
            });
            m_frame.Action(action)->trigger();
        }
        if (CTraceWindow* trace = m_frame.TraceWindow()) {
            trace->show();
            Settle();
            Shot(*trace, "10-trace");
            trace->hide();
        }
        ShowOrders();
        m_frame.Doc().SetPrompter(&own);
        for (const QString& m : m_prompter.m_messages) qWarning("demo: message shown: %s", qPrintable(m));
        m_frame.close();
        delete this;
    }

    // The demo project of orders: a customer with invoices, one of them with its lines, and
    // its Invoice Info dialog open over the window while the script takes its picture.
    void ShowOrders() {
        const QString orders = m_scratch.filePath(QStringLiteral("orders.qvp"));
        QString failure;
        m_frame.Doc().OnFileCloseProject();
        if (!MakeDemoProject(orders, DemoOptions{40, 1}, &failure)) {
            qWarning("demo: %s", qPrintable(failure));
            WaitForScreenPicture();
            return;
        }
        m_frame.Doc().DoOpenProject(orders);
        Settle();
        CCustomerListCtrl* customers = m_frame.UpperView()->Customers();
        CInvoicesListCtrl* invoices = m_frame.UpperView()->Invoices();
        // The customer with the most invoices, and of those the invoice with the most lines.
        int best = 0, bestCount = -1;
        for (int row = 0; row < customers->GetItemCount(); ++row) {
            customers->SelectOnly(row);
            if (invoices->GetItemCount() > bestCount) {
                bestCount = invoices->GetItemCount();
                best = row;
            }
        }
        customers->SelectOnly(best);
        int busiest = 0, lines = -1;
        for (int row = 0; row < invoices->GetItemCount(); ++row) {
            invoices->SelectOnly(row);
            if (m_frame.UpperView()->Items()->GetItemCount() > lines) {
                lines = m_frame.UpperView()->Items()->GetItemCount();
                busiest = row;
            }
        }
        invoices->SelectOnly(busiest);
        // The upper pane dragged taller, so the invoice's lines show.
        const QList<int> sizes = m_frame.Splitter()->sizes();
        m_frame.Splitter()->setSizes({520, sizes.value(0) + sizes.value(1) - 520});
        Settle();
        Shot(m_frame, "14-orders");
        ShowGuide();
        m_prompter.Then([this](QDialog& d) {
            d.show();
            Settle();
            Shot(d, "15-invoice-dialog");
            WaitForScreenPicture();
            return int(QDialog::Rejected);
        });
        invoices->OnEditItem();
        if (!m_pictured) WaitForScreenPicture();
    }

    // The guide as F1 on the invoice list opens it, then a search in it.
    void ShowGuide() {
        m_frame.ShowHelp(CQuorvaneMain::HelpContextForWidget(m_frame.UpperView()->Invoices()));
        CHelpWindow* help = m_frame.HelpWindow();
        if (!help) return;
        help->resize(900, 680);
        Settle();
        Shot(*help, "16-guide");
        help->SearchField()->setText(QStringLiteral("back order"));
        Settle();
        Shot(*help, "17-guide-search");
        help->SearchField()->clear();
        help->hide();
        Settle();
    }

    // Leaves what is on the screen up until the script has taken its own picture.
    void WaitForScreenPicture() {
        m_pictured = true;
        const QString ready = QDir(m_dir).filePath(QStringLiteral(".ready"));
        QFile file(ready);
        if (file.open(QIODevice::WriteOnly)) file.close();
        m_wait.start();
        while (QFile::exists(ready) && m_wait.elapsed() < 60000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(20);
        }
    }

private:
    // Types into a numeric field and leaves it, so the dialog reads and reformats it.
    void TypeField(QDialog& d, const char* name, const QString& text) {
        auto* edit = d.findChild<QLineEdit*>(QLatin1String(name));
        if (!edit) return;
        d.show();
        QApplication::setActiveWindow(&d); // focus changes need an active window
        edit->setFocus();
        edit->selectAll();
        edit->insert(text);
        emit edit->textEdited(edit->text());
        if (auto* other = d.findChild<QLineEdit*>(QStringLiteral("editDescription"))) other->setFocus();
        Settle();
    }
    int Accept(QDialog& d, const char* shot) {
        if (shot) Shoot(d, shot);
        d.accept();
        return d.result();
    }
    void Shoot(QDialog& d, const char* name) {
        d.show();
        Settle();
        Shot(d, name);
        d.hide();
    }
    void Shot(QWidget& w, const char* name) {
        const QString path = QDir(m_dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!w.grab().save(path)) qWarning("demo: could not write %s", qPrintable(path));
    }

    CQuorvaneMain& m_frame;
    QString m_dir;
    QTemporaryDir m_scratch;
    CDemoPrompter m_prompter;
    QElapsedTimer m_wait;
    bool m_pictured = false;
};

} // namespace

void StartDemoScreenshots(CQuorvaneMain& frame, const QString& shotDir) {
    // Once the window is up and the first paint is done.
    QTimer::singleShot(300, &frame, [&frame, shotDir] { (new CDemo(frame, shotDir))->Run(); });
}
