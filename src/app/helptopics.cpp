#include "helptopics.h"

#include "app/helpcontext.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace helptopics {

namespace {

const QString kFolder = QStringLiteral(":/guide/");

struct ContextPage {
    int context;
    const char* file;
};

// One page per help context of the window's parts.
constexpr ContextPage kContextPages[] = {
    {kMainWindowHelpContext, "window.md"},
    {123152, "recent-projects.md"},
    {98636, "customer-list.md"},
    {98736, "customer-buttons.md"},
    {99636, "invoice-list.md"},
    {99836, "invoice-buttons.md"},
    {99736, "invoice-items.md"},
    {98936, "item-bar.md"},
    {101636, "store-tabs.md"},
    {101736, "store-items.md"},
    {101836, "store-item-buttons.md"},
    {101936, "find.md"},
    {102036, "buy.md"},
};

struct DialogPage {
    const char* title;
    const char* file;
};

// Dialogs are known by their titles.
constexpr DialogPage kDialogPages[] = {
    {"Project Info Dialog", "project-info.md"},
    {"Customer Info Dialog", "customers.md"},
    {"Customer: Multi-Edit Dialog", "customers.md"},
    {"Invoice Info Dialog", "invoice-dialog.md"},
    {"Invoice: Multi-Edit Dialog", "invoices.md"},
    {"Store Info Dialog", "stores.md"},
    {"Store Item Info Dialog", "store-item-dialog.md"},
    {"Store Items: Multi-Edit Dialog", "store-item-dialog.md"},
    {"Store Select Dialog", "stores.md"},
    {"Discount Table Dialog", "discounts-containers.md"},
    {"Containers List Dialog", "discounts-containers.md"},
    {"Import Selection Dialog", "import.md"},
    {"Export Selection Dialog", "exchange.md"},
    {"Database Source Selection Dialog", "import.md"},
    {"Path Dialog - Select a folder", "import.md"},
    {"Import Table Mapping Dialog", "import.md"},
    {"Entry Mapping Dialog", "import.md"},
    {"Progress Dialog", "import.md"},
    {"Print Selection Dialog", "printing.md"},
    {"Column Title Edit Dialog", "columns.md"},
    {"Color Selection Dialog - For List Control Windows", "columns.md"},
    {"Watch Trace Dialog", "trace.md"},
};

// The text a reader sees: link targets, images and Markdown marks left out.
QString ReadableText(QString text) {
    static const QRegularExpression image(QStringLiteral("!\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression heading(QStringLiteral("^#+\\s"), QRegularExpression::MultilineOption);
    static const QRegularExpression marks(QStringLiteral("[*_`|>]"));
    text.replace(image, QStringLiteral("\\1"));
    text.replace(link, QStringLiteral("\\1"));
    text.replace(heading, QStringLiteral(" "));
    text.replace(marks, QStringLiteral(" "));
    return text;
}

} // namespace

QString PageForContext(int context) {
    for (const ContextPage& p : kContextPages)
        if (p.context == context) return QString::fromLatin1(p.file);
    return {};
}

QString PageForDialog(const QString& title) {
    for (const DialogPage& p : kDialogPages)
        if (title == QLatin1String(p.title)) return QString::fromLatin1(p.file);
    return {};
}

QList<int> KnownContexts() {
    QList<int> contexts;
    for (const ContextPage& p : kContextPages) contexts << p.context;
    return contexts;
}

QUrl PageUrl(const QString& file) { return QUrl(QStringLiteral("qrc:/guide/") + file); }

bool PageExists(const QString& file) { return !file.isEmpty() && QFile::exists(kFolder + file); }

QString PageText(const QString& file) {
    if (file.isEmpty()) return {};
    QFile page(kFolder + file);
    if (!page.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(page.readAll());
}

QString PageTitle(const QString& file) {
    const QString text = PageText(file);
    for (QStringView line : QStringView(text).split(u'\n'))
        if (line.startsWith(u"# ")) return line.mid(2).trimmed().toString();
    return file;
}

QList<Page> AllPages() {
    QList<Page> pages;
    const QStringList files = QDir(kFolder).entryList({QStringLiteral("*.md")}, QDir::Files);
    for (const QString& file : files) pages.append({file, PageTitle(file)});
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) {
        const bool aFirst = a.file == kContentsPage, bFirst = b.file == kContentsPage;
        if (aFirst != bFirst) return aFirst;
        return a.title.localeAwareCompare(b.title) < 0;
    });
    return pages;
}

QList<Page> SearchPages(const QString& query) {
    const QStringList words = query.simplified().toLower().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    struct Hit {
        Page page;
        int inTitle, inText;
    };
    QList<Hit> hits;
    for (const Page& page : AllPages()) {
        const QString title = page.title.toLower();
        const QString text = ReadableText(PageText(page.file)).toLower();
        Hit hit{page, 0, 0};
        bool all = true;
        for (const QString& word : words) {
            const int times = int(text.count(word));
            all = all && times > 0;
            hit.inTitle += title.contains(word) ? 1 : 0;
            hit.inText += times;
        }
        if (all) hits.append(hit);
    }
    // The pages about the words first: most words in the title, then the words most often.
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        return a.inTitle != b.inTitle ? a.inTitle > b.inTitle : a.inText > b.inText;
    });
    QList<Page> pages;
    for (const Hit& hit : hits) pages.append(hit.page);
    return pages;
}

} // namespace helptopics
