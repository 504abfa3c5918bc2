#include "helpwindow.h"

#include "app/helptopics.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

QVariant CGuideBrowser::loadResource(int type, const QUrl& name) {
    QVariant data = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource) return data;
    QImage image;
    if (data.userType() == QMetaType::QByteArray) image.loadFromData(data.toByteArray());
    else image = data.value<QImage>();
    // The widest picture the page can show without a horizontal scroll bar.
    const int room = qMax(200, viewport()->width() - 2 * int(document()->documentMargin()) - 24);
    if (image.isNull() || image.width() <= room) return data;
    return image.scaledToWidth(room, Qt::SmoothTransformation);
}

CHelpWindow::CHelpWindow(QWidget* parent)
    : QDialog(parent), m_browser(new CGuideBrowser(this)), m_contents(new QPushButton(QStringLiteral("Contents"), this)),
      m_back(new QPushButton(QStringLiteral("Back"), this)), m_search(new QLineEdit(this)),
      m_results(new QListWidget(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setModal(false);
    setWindowTitle(QStringLiteral("Quorvane Help"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setAutoDefault(false);
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setAutoDefault(false);
    m_back->setEnabled(false);
    m_search->setObjectName(QStringLiteral("helpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search the guide"));
    m_search->setClearButtonEnabled(true);
    m_results->setObjectName(QStringLiteral("helpResults"));
    m_results->setWordWrap(true);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(m_contents);
    top->addWidget(m_back);
    top->addWidget(m_search, 1);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_results);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 560});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    resize(760, 600);

    connect(m_contents, &QPushButton::clicked, this, &CHelpWindow::ShowContents);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnSourceChanged);
    connect(m_search, &QLineEdit::textChanged, this, &CHelpWindow::OnSearchChanged);
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (m_results->count() > 0) OnResultChosen(m_results->item(0));
    });
    connect(m_results, &QListWidget::itemClicked, this, &CHelpWindow::OnResultChosen);
    connect(m_results, &QListWidget::itemActivated, this, &CHelpWindow::OnResultChosen);
}

void CHelpWindow::ShowTopic(int context) {
    m_topic = context;
    ShowPage(helptopics::PageForContext(context));
}

void CHelpWindow::ShowPage(const QString& file) {
    const QString page = helptopics::PageExists(file) ? file : helptopics::kContentsPage;
    m_browser->setSource(helptopics::PageUrl(page), QTextDocument::MarkdownResource);
}

void CHelpWindow::ShowContents() { ShowPage(helptopics::kContentsPage); }

QString CHelpWindow::Page() const { return m_browser->source().fileName(); }

void CHelpWindow::OnSourceChanged(const QUrl& url) {
    setWindowTitle(QStringLiteral("Quorvane Help - %1").arg(helptopics::PageTitle(url.fileName())));
}

void CHelpWindow::OnSearchChanged(const QString& text) {
    m_results->clear();
    const QList<helptopics::Page> found = helptopics::SearchPages(text);
    for (const helptopics::Page& page : found) {
        auto* item = new QListWidgetItem(page.title, m_results);
        item->setData(Qt::UserRole, page.file);
    }
    if (!text.trimmed().isEmpty() && found.isEmpty()) {
        auto* none = new QListWidgetItem(QStringLiteral("No page holds these words."), m_results);
        none->setFlags(Qt::NoItemFlags);
    }
    m_results->setVisible(!text.trimmed().isEmpty());
}

void CHelpWindow::OnResultChosen(QListWidgetItem* item) {
    if (!item) return;
    const QString file = item->data(Qt::UserRole).toString();
    if (!file.isEmpty()) ShowPage(file);
}
