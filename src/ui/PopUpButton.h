// Pop-up menu operations on a QComboBox with its own item model: separators that cannot be
// chosen, items found by title or by the day count they carry, and the two ways the main window
// fills its menus from the configuration dictionaries, each title listed once.
#pragma once

#include "BrevantModel.h"

class QComboBox;

namespace PopUpButton {

bool isSeparator(const QComboBox &popUp, int index);
// None when no item is selected.
OptionalString titleOfSelectedItem(const QComboBox &popUp);
// A title that no item carries leaves nothing selected.
void selectItemWithTitle(QComboBox &popUp, const QString &title);
// A tag that no item carries selects the tag-0 item, the one for any other length.
void selectItemWithTag(QComboBox &popUp, qint64 tag);

// Template names sorted case-insensitively in the user's locale, a separator wherever the first
// four characters (letter case counting) change from one name to the next.
void fillTemplatePopUp(QComboBox &popUp, const std::optional<StringDictionary> &templates);
// Each group's display names sorted as above, a separator after every group; a name in more
// than one group is listed in the last of them.
void fillUsersPopUp(QComboBox &popUp, const std::optional<JiraUsersDictionary> &users);

} // namespace PopUpButton
