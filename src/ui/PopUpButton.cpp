#include "PopUpButton.h"

#include "Log.h"

#include <QCollator>
#include <QComboBox>
#include <QSet>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include <algorithm>

namespace {

// QComboBox marks its separators with this accessible description.
const QString kSeparatorMark = QStringLiteral("separator");

// Up to this many titles the pop-up measures each one to size itself.
constexpr qsizetype kRowsMeasuredOneByOne = 500;
// In characters; a longer title is cut short in the closed pop-up.
constexpr qsizetype kWidestTitle = 60;

// One row of a pop-up: a title, or a separator where there is none.
using PopUpRow = std::optional<QString>;

// A name with its collation key, made once instead of at every comparison.
struct CollatedName
{
    QCollatorSortKey key;
    QString name;
};

template<typename Value> QStringList sortedKeys(const QMap<QString, Value> &dictionary)
{
    const QCollator collator;
    std::vector<CollatedName> collated;
    collated.reserve(size_t(dictionary.size()));
    // Folded first: a collator's sort keys do not ignore letter case on every platform.
    for (auto entry = dictionary.keyBegin(); entry != dictionary.keyEnd(); ++entry)
        collated.push_back({collator.sortKey(entry->toCaseFolded()), *entry});
    // Stable, so names equal but for letter case keep the dictionary's own order.
    std::stable_sort(
        collated.begin(), collated.end(),
        [](const CollatedName &a, const CollatedName &b) { return a.key.compare(b.key) < 0; });
    QStringList keys;
    keys.reserve(dictionary.size());
    for (const CollatedName &entry : collated)
        keys.append(entry.name);
    return keys;
}

// Each title only at its last place, as a name listed in two groups always was.
QList<PopUpRow> withoutEarlierDuplicates(const QList<PopUpRow> &rows)
{
    QSet<QString> later;
    QList<PopUpRow> kept;
    kept.reserve(rows.size());
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        if (*row && later.contains(**row))
            continue;
        if (*row)
            later.insert(**row);
        kept.append(*row);
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

// Marked as QComboBox::insertSeparator marks its own.
QStandardItem *itemFor(const PopUpRow &row)
{
    if (row)
        return new QStandardItem(*row);
    auto *separator = new QStandardItem();
    separator->setData(kSeparatorMark, Qt::AccessibleDescriptionRole);
    separator->setFlags(separator->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    return separator;
}

// A pop-up sizes itself to its widest title by laying out every title in its font, which takes
// a noticeable part of a second for a few thousand; a long list is sized by the length of its
// longest title instead.
void sizeToTitles(QComboBox &popUp, qsizetype rowCount, qsizetype longestTitle)
{
    if (rowCount < kRowsMeasuredOneByOne)
        return;
    popUp.setMinimumContentsLength(int(std::min<qsizetype>(longestTitle, kWidestTitle)));
    popUp.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

// All rows go in with one insertion: one by one, the pop-up would rework itself for each.
void replaceRows(QComboBox &popUp, const QList<PopUpRow> &rows)
{
    popUp.clear();
    auto *model = qobject_cast<QStandardItemModel *>(popUp.model());
    if (!model) {
        logLine(QStringLiteral("The pop-up ") + popUp.objectName() +
                QStringLiteral(" has a model of its own and was left empty."));
        return;
    }
    QList<QStandardItem *> items;
    items.reserve(rows.size());
    qsizetype longest = 0;
    for (const PopUpRow &row : rows) {
        items.append(itemFor(row));
        longest = std::max(longest, row.value_or(QString()).size());
    }
    model->invisibleRootItem()->appendRows(items);
    sizeToTitles(popUp, items.size(), longest);
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
    const QStringList names = templates ? sortedKeys(*templates) : QStringList();
    QList<PopUpRow> rows;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0 && names[i].left(4) != names[i - 1].left(4))
            rows.append(std::nullopt);
        rows.append(names[i]);
    }
    replaceRows(popUp, rows);
    selectFirstItem(popUp);
}

void fillUsersPopUp(QComboBox &popUp, const std::optional<JiraUsersDictionary> &users)
{
    const QSignalBlocker blocker(popUp);
    QList<PopUpRow> rows;
    for (const QString &group : users ? sortedKeys(*users) : QStringList()) {
        for (const QString &name : sortedKeys(users->value(group)))
            rows.append(name);
        rows.append(std::nullopt);
    }
    replaceRows(popUp, withoutEarlierDuplicates(rows));
    selectFirstItem(popUp);
}

} // namespace PopUpButton
