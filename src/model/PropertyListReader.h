// Reads the configuration dictionaries from property-list files, XML or binary.
//
// Users edit these files by hand, so a file that is not a property list with a dictionary root
// gives no dictionary, and an entry of the wrong type is skipped with one log line naming the
// file and the key while the rest of the file still loads. Only regular files up to a size
// limit are read; whatever keeps a file from being read is logged with its name.
#pragma once

#include "BrevantModel.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// A dictionary of texts: templates by name, site addresses by page key.
std::optional<StringDictionary> readStringDictionary(const QString &path);

// Groups of Jira users: group name to a dictionary of display name to Jira user name.
std::optional<JiraUsersDictionary> readJiraUsersDictionary(const QString &path);

// The same from bytes already read; path only names the file in the log lines.
std::optional<StringDictionary> stringDictionaryFromData(QByteArrayView data, const QString &path);
std::optional<JiraUsersDictionary> jiraUsersDictionaryFromData(QByteArrayView data,
                                                               const QString &path);
