// Deciding between UTF-8 and code page 1251 from the bytes of a file.
#include "platform/text_encoding.h"

#include <QStringEncoder>
#include <QTest>

using namespace ostrel;

class TextEncodingTest : public QObject {
    Q_OBJECT

private slots:
    // What code page 1251 cannot hold is named and written as "?", never as
    // the control byte 0x1A; what it holds (Cyrillic, "№", "€", "Ё") stays.
    void projectTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << QStringLiteral("Pump 1") << QStringList{} << QByteArray("Pump 1");
        QTest::newRow("code page 1251") << QStringLiteral("Ёж №5 €") << QStringList{}
                                        << QByteArray("\xA8\xE6 \xB9" "5 \x88");
        QTest::newRow("ohm") << QStringLiteral("R=5Ω") << QStringList{"Ω"} << QByteArray("R=5?");
        QTest::newRow("tick and emoji") << QStringLiteral("✓ок😀") << QStringList{"✓", "😀"}
                                        << QByteArray("?\xEE\xEA?");
    }
    void projectTexts()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, refused);
        QFETCH(QByteArray, bytes);
        QCOMPARE(nonCp1251Characters(text), refused);
        QCOMPARE(firstNonCp1251(text), refused.value(0));
        QCOMPARE(encodeCp1251(text), bytes);
        QVERIFY(!encodeCp1251(text).contains('\x1A'));
    }
    void refusalMessage()
    {
        QCOMPARE(nonCp1251Message(QStringLiteral("Ω")), QStringLiteral("Символ «Ω» нельзя сохранить в файле проекта"));
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("text");
        const QString word = QStringLiteral("(attr \"Имя\" \"Пуск насоса\")");
        const QByteArray cp1251 = QStringEncoder("windows-1251").encode(word);
        const QByteArray utf8 = word.toUtf8();
        const QByteArray bom("\xEF\xBB\xBF");
        auto asCp1251 = [](const QByteArray& b) { return QString(QStringDecoder("windows-1251").decode(b)); };
        QTest::newRow("ASCII") << QByteArray("(net \"N1\")\r\n") << false << QStringLiteral("(net \"N1\")\r\n");
        QTest::newRow("code page 1251") << cp1251 << false << word;
        QTest::newRow("UTF-8") << utf8 << true << word;
        QTest::newRow("UTF-8 with BOM") << bom + utf8 << true << word;
        QTest::newRow("BOM before ASCII") << bom + QByteArray("(net") << true << QStringLiteral("(net");
        QTest::newRow("empty") << QByteArray() << false << QString();
        // Invalid UTF-8 is read as code page 1251, byte for byte.
        QTest::newRow("cut multibyte sequence") << utf8.left(utf8.size() - 3) + QByteArray("\xD0") << false
                                                << asCp1251(utf8.left(utf8.size() - 3) + QByteArray("\xD0"));
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF") << false << QStringLiteral("aАЇ");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << QStringLiteral("н\u00A0Ђ");
        QTest::newRow("both mixed") << utf8 + cp1251 << false << asCp1251(utf8 + cp1251);
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QString, text);
        QCOMPARE(detectTextEncoding(bytes) == TextEncoding::Utf8, utf8);
        TextEncoding used = TextEncoding::Cp1251;
        QCOMPARE(decodeInputText(bytes, &used), text);
        QCOMPARE(used == TextEncoding::Utf8, utf8);
    }
};

QTEST_GUILESS_MAIN(TextEncodingTest)
#include "test_text_encoding.moc"
