#include "helpwindow.h"

#include "app/helpcontext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setModal(false);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_browser);
    resize(520, 420);
    const QString folder = HelpFolder();
    if (!folder.isEmpty()) m_browser->setSearchPaths({folder});
}

QString CHelpWindow::HelpFolder() {
    // Built programs live a few folders below the checkout; installed ones beside docs/.
    for (const QString& start : {QCoreApplication::applicationDirPath(), QDir::currentPath()}) {
        QDir dir(start);
        for (int up = 0; up < 5; ++up) {
            if (dir.exists(QStringLiteral("docs/help"))) return dir.filePath(QStringLiteral("docs/help"));
            if (!dir.cdUp()) break;
        }
    }
    return {};
}

QString CHelpWindow::TopicName(int context) {
    switch (context) {
    case 98636: return QStringLiteral("List of Customers");
    case 98736: return QStringLiteral("Customer Buttons");
    case 98936: return QStringLiteral("Invoice Item Editing");
    case 99636: return QStringLiteral("List of Invoices");
    case 99736: return QStringLiteral("Items on Current Invoice");
    case 99836: return QStringLiteral("Invoice Buttons");
    case 101636: return QStringLiteral("Stores");
    case 101736: return QStringLiteral("List of Store Items");
    case 101836: return QStringLiteral("Store Item Buttons");
    case 101936: return QStringLiteral("Finding a Store Item");
    case 102036: return QStringLiteral("Buying Store Items");
    case kMainWindowHelpContext: return QStringLiteral("The Quorvane Window");
    default: return QStringLiteral("Help Topic %1").arg(context);
    }
}

void CHelpWindow::ShowTopic(int context) {
    m_topic = context;
    setWindowTitle(QStringLiteral("Quorvane Help - %1").arg(TopicName(context)));
    const QString folder = HelpFolder();
    const QString page = QStringLiteral("%1.html").arg(context);
    if (!folder.isEmpty() && QFile::exists(QDir(folder).filePath(page))) {
        m_browser->setSource(QUrl::fromLocalFile(QDir(folder).filePath(page)));
        return;
    }
    m_browser->setHtml(QStringLiteral("<h3>%1</h3><p>There is no page for this topic (%2) yet. "
                                      "Press F1 over another part of the window, or choose "
                                      "Help Topics from the Help menu.</p>")
                           .arg(TopicName(context).toHtmlEscaped())
                           .arg(context));
}
