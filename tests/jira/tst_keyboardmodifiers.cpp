// The Option key as the model learns of it: Alt in the modifiers of the event being handled.
#include "KeyboardModifierKeys.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

class KeyboardModifiersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isOptionHeld_followsAltOfTheLastEvent_data();
    void isOptionHeld_followsAltOfTheLastEvent();
};

void KeyboardModifiersTest::isOptionHeld_followsAltOfTheLastEvent_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("optionHeld");
    QTest::newRow("alt held") << int(Qt::Key_Alt) << Qt::KeyboardModifiers(Qt::AltModifier) << true;
    QTest::newRow("alt with shift")
        << int(Qt::Key_A) << (Qt::AltModifier | Qt::ShiftModifier) << true;
    QTest::newRow("control is not option")
        << int(Qt::Key_Control) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("meta is not option")
        << int(Qt::Key_Meta) << Qt::KeyboardModifiers(Qt::MetaModifier) << false;
}

void KeyboardModifiersTest::isOptionHeld_followsAltOfTheLastEvent()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, optionHeld);

    QWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const KeyboardModifierKeys keys;
    QVERIFY(!keys.isOptionHeld());
    QTest::keyPress(&window, Qt::Key(key), modifiers);
    QCOMPARE(keys.isOptionHeld(), optionHeld);
    QTest::keyRelease(&window, Qt::Key(key), Qt::NoModifier);
    QVERIFY(!keys.isOptionHeld());
}

QTEST_MAIN(KeyboardModifiersTest)
#include "tst_keyboardmodifiers.moc"
