// The interaction seam without a user: nothing is answered, every message is
// kept in order and handed on as it comes.
#include "platform/headless_interaction.h"

#include <QtTest>

using namespace ostrel;

class TestHeadlessInteraction : public QObject {
    Q_OBJECT
private slots:
    void answersNothing()
    {
        HeadlessInteraction ui;
        Interaction& seam = ui;
        QVERIFY(!seam.question(QStringLiteral("Удалить?")));
        QCOMPARE(seam.openFile(QStringLiteral("P-CAD file|*.net"), QStringLiteral("/tmp")), QString());
        QCOMPARE(seam.saveFile(QStringLiteral("project file|*.prt"), QStringLiteral("boiler")), QString());
        QCOMPARE(seam.chooseColor(Qt::red), std::nullopt);
        QCOMPARE(seam.chooseFont(QFont()), std::nullopt);
        QVERIFY(ui.messages().isEmpty());
    }

    void messagesInOrderAndForwarded()
    {
        QList<Message> forwarded;
        HeadlessInteraction ui([&forwarded](const Message& m) { forwarded.append(m); });
        Interaction& seam = ui;
        seam.message(QStringLiteral("Ошибка СОМ порта!"));
        seam.message(QStringLiteral("Ошибка параметра"), QStringLiteral("Ошибка"), MessageIcon::Error);
        QCOMPARE(ui.texts(), (QStringList{QStringLiteral("Ошибка СОМ порта!"), QStringLiteral("Ошибка параметра")}));
        QCOMPARE(ui.messages().at(1).title, QStringLiteral("Ошибка"));
        QCOMPARE(ui.messages().at(1).icon, MessageIcon::Error);
        QCOMPARE(forwarded.size(), 2);
        QCOMPARE(forwarded.at(0).text, QStringLiteral("Ошибка СОМ порта!"));
        QCOMPARE(forwarded.at(1).title, QStringLiteral("Ошибка"));
    }

    // The filter form every file dialog is given.
    void qtFilterForm_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << "P-CAD file|*.net" << "P-CAD file (*.net)";
        QTest::newRow("two, with a list") << "Pictures|*.gif;*.bmp|All|*.*" << "Pictures (*.gif *.bmp);;All (*.*)";
        QTest::newRow("no pairs") << "*.prt" << "*.prt";
    }
    void qtFilterForm()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(qtFilter(filter), expected);
    }
};

QTEST_GUILESS_MAIN(TestHeadlessInteraction)
#include "test_headless_interaction.moc"
