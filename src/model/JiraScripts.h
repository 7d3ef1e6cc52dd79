// The page scripts that drive Jira's issue search, and how their failures are reported.
#pragma once

#include <QString>

#include <optional>

struct ScriptOutcome;

namespace JiraScripts {

// Puts the text into the advanced-search box. The text goes in as a JavaScript string literal, so
// quotes, backslashes and line breaks reach the box as typed instead of breaking (or extending)
// the script. No text at all leaves the box empty.
QString setSearchText(const std::optional<QString> &text);
QString pressSearch();
QString openExportMenu();
QString clickCsvExport();

// The body of a single-quoted JavaScript string literal whose value is text.
QString escapedForSingleQuotes(const QString &text);

// The two diagnostic lines of a failed script: its error, then its result.
void logFailure(const ScriptOutcome &outcome);

} // namespace JiraScripts
