// Joins the pages of an export that Jira cut into pages of at most "tempMax" issues. Jira repeats a
// title once per value it may hold ("Sprint" for each sprint), and how often follows the issues on
// each page, so pages may differ in their columns; the merge keeps every field under its own title.
#pragma once

#include <QByteArray>
#include <QList>

namespace ExportMerge {

// The pages as one export. Its header has each title as often as the page that repeats it most,
// in the first page's order, with titles that only later pages have appended. Every record keeps
// its fields as Jira wrote them (quoting, line breaks inside quotes) under their own title and
// occurrence, and is empty where its page had no such column; records end as the first page's
// header line does, and the first page's byte-order mark stays. Fields beyond their page's header
// are kept at the end of their record. Blank lines and pages without records add nothing.
//
// Each page is released once its records are copied, so the merge holds little more memory than
// the pages did.
QByteArray merged(QList<QByteArray> pages);

} // namespace ExportMerge
