// Pop-up menu operations on a QComboBox: titles that are never listed twice, separators that
// cannot be chosen, items found by title or by the day count they carry, and the two ways the
// main window fills its menus from the configuration dictionaries.
#pragma once

#include "BrevantModel.h"

class QComboBox;

namespace PopUpButton {

// Appends an item; an item with the same title already listed is removed first.
void addItemWithTitle(QComboBox &popUp, const QString &title);
void addSeparator(QComboBox &popUp);
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
// Each group's display names sorted as above, a separator after every group.
void fillUsersPopUp(QComboBox &popUp, const std::optional<JiraUsersDictionary> &users);

} // namespace PopUpButton
