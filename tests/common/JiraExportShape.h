// Jira's CSV export as tests and benchmarks need it: its header in the shape a real Jira writes.
#pragma once

#include <QByteArray>

// A header with the shape of a real Jira export: repeated multi-value titles, quoted titles with
// commas in them, "Created" past column Z and more than seventy columns.
QByteArray jiraShapedHeader(qsizetype &createdIndex);
