// Filling the pop-up menus from large configuration dictionaries.
#include "PopUpButton.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

namespace {

// Groups of the given size with distinct names throughout, and one name shared by two groups.
JiraUsersDictionary manyUsers(int groups, int perGroup)
{
    JiraUsersDictionary users;
    for (int group = 0; group < groups; ++group) {
        StringDictionary members{{QStringLiteral("Shared Name"), QStringLiteral("shared")}};
        for (int member = 0; member < perGroup; ++member)
            members.insert(
                QStringLiteral("Person %1-%2").arg(group).arg(member, 4, 10, QLatin1Char('0')),
                QStringLiteral("p%1").arg(member));
        users.insert(QStringLiteral("Group %1").arg(group, 2, 10, QLatin1Char('0')), members);
    }
    return users;
}

} // namespace

class PopUpButtonTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fill_largeDictionary_goesInAsOneInsertion_data();
    void fill_largeDictionary_goesInAsOneInsertion();
};

void PopUpButtonTest::fill_largeDictionary_goesInAsOneInsertion_data()
{
    QTest::addColumn<bool>("users");
    QTest::newRow("users") << true;
    QTest::newRow("templates") << false;
}

// Item by item, every insertion reworks the menu; with thousands of names that held up the
// launch for many seconds.
void PopUpButtonTest::fill_largeDictionary_goesInAsOneInsertion()
{
    QFETCH(bool, users);
    QComboBox popUp;
    popUp.addItem(QStringLiteral("left from before"));
    const QSignalSpy insertions(popUp.model(), &QAbstractItemModel::rowsInserted);
    const JiraUsersDictionary groups = manyUsers(10, 500);
    if (users)
        PopUpButton::fillUsersPopUp(popUp, groups);
    else
        PopUpButton::fillTemplatePopUp(popUp, groups.value(QStringLiteral("Group 03")));

    QCOMPARE(insertions.count(), 1);
    if (users) {
        // 5000 people, the shared name once, in the last group, and ten separators.
        QCOMPARE(popUp.count(), 5011);
        QCOMPARE(popUp.findText(QStringLiteral("Shared Name")), 5009);
        QCOMPARE(popUp.currentText(), QStringLiteral("Person 0-0000"));
    } else {
        // 501 names, a separator where "Pers" gives way to "Shar".
        QCOMPARE(popUp.count(), 502);
        QCOMPARE(popUp.currentText(), QStringLiteral("Person 3-0000"));
    }
}

QTEST_MAIN(PopUpButtonTest)
#include "tst_popupbutton.moc"
