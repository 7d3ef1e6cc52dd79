#include "PopUpButton.h"

#include <QCollator>
#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// QComboBox marks its separators with this accessible description.
const QString kSeparatorMark = QStringLiteral("separator");

template<typename Value> QStringList sortedKeys(const QMap<QString, Value> &dictionary)
{
    QStringList keys = dictionary.keys();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Stable, so names equal but for letter case keep the dictionary's own order.
    std::stable_sort(keys.begin(), keys.end(), [&](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    });
    return keys;
}

// The first item that can be chosen: a group without people leaves a separator at the top.
void selectFirstItem(QComboBox &popUp)
{
    for (int i = 0; i < popUp.count(); ++i) {
        if (!PopUpButton::isSeparator(popUp, i)) {
            popUp.setCurrentIndex(i);
            return;
        }
    }
    popUp.setCurrentIndex(-1);
}

} // namespace

namespace PopUpButton {

void addItemWithTitle(QComboBox &popUp, const QString &title)
{
    for (int i = popUp.count() - 1; i >= 0; --i) {
        if (!isSeparator(popUp, i) && popUp.itemText(i) == title)
            popUp.removeItem(i);
    }
    popUp.addItem(title);
}

void addSeparator(QComboBox &popUp)
{
    popUp.insertSeparator(popUp.count());
}

bool isSeparator(const QComboBox &popUp, int index)
{
    return popUp.itemData(index, Qt::AccessibleDescriptionRole).toString() == kSeparatorMark;
}

OptionalString titleOfSelectedItem(const QComboBox &popUp)
{
    if (popUp.currentIndex() < 0)
        return std::nullopt;
    return popUp.currentText();
}

void selectItemWithTitle(QComboBox &popUp, const QString &title)
{
    const QSignalBlocker blocker(popUp);
    for (int i = 0; i < popUp.count(); ++i) {
        if (!isSeparator(popUp, i) && popUp.itemText(i) == title) {
            popUp.setCurrentIndex(i);
            return;
        }
    }
    popUp.setCurrentIndex(-1);
}

void selectItemWithTag(QComboBox &popUp, qint64 tag)
{
    const QSignalBlocker blocker(popUp);
    int index = popUp.findData(QVariant::fromValue(tag));
    if (index < 0)
        index = popUp.findData(QVariant::fromValue(qint64(0)));
    popUp.setCurrentIndex(index);
}

void fillTemplatePopUp(QComboBox &popUp, const std::optional<StringDictionary> &templates)
{
    const QSignalBlocker blocker(popUp);
    popUp.clear();
    const QStringList names = templates ? sortedKeys(*templates) : QStringList();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0 && names[i].left(4) != names[i - 1].left(4))
            addSeparator(popUp);
        addItemWithTitle(popUp, names[i]);
    }
    selectFirstItem(popUp);
}

void fillUsersPopUp(QComboBox &popUp, const std::optional<JiraUsersDictionary> &users)
{
    const QSignalBlocker blocker(popUp);
    popUp.clear();
    const QStringList groups = users ? sortedKeys(*users) : QStringList();
    for (const QString &group : groups) {
        for (const QString &name : sortedKeys(users->value(group)))
            addItemWithTitle(popUp, name);
        addSeparator(popUp);
    }
    selectFirstItem(popUp);
}

} // namespace PopUpButton
