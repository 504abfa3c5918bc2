#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// The built-in guide: Markdown pages in the program's resources, one page per help topic.
namespace helptopics {

// The contents page, shown for anything that has no page of its own.
inline const QString kContentsPage = QStringLiteral("index.md");

struct Page {
    QString file;  // "customers.md"
    QString title; // its first heading
};

// The page of a help context number, or an empty text when the guide has none.
QString PageForContext(int context);
// The page of a dialog, found by the dialog's title; empty when the guide has none.
QString PageForDialog(const QString& title);
// Every help context number the guide has a page for.
QList<int> KnownContexts();

QUrl PageUrl(const QString& file);
bool PageExists(const QString& file);
// The page's Markdown text; empty when there is no such page.
QString PageText(const QString& file);
// The first "# " heading of a page; the file name when it has none.
QString PageTitle(const QString& file);
// Every page of the guide, the contents page first, then by title.
QList<Page> AllPages();

// Pages that hold every word of the query (any case); pages with more of the words in their
// title come first, then pages that use the words more often. An empty query finds nothing.
QList<Page> SearchPages(const QString& query);

} // namespace helptopics
