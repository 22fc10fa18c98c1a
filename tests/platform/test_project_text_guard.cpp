// Characters code page 1251 cannot hold are refused where they are typed or
// pasted into a text field, with a message naming the character.
#include "platform/ui/project_text_guard.h"
#include "support/scripted_interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

using namespace ostrel;

namespace {

// Types `text` one character at a time, as a keyboard does (QTest's own
// key clicks know ASCII only).
void typeText(QLineEdit* field, const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&c, 1));
        QCoreApplication::sendEvent(field, &press);
    }
}

} // namespace

class ProjectTextGuardTest : public QObject {
    Q_OBJECT
private slots:
    void typedAndPasted_data();
    void typedAndPasted();
    void importedTextStaysEditable();
    void numberFieldsKeepTheirValidator();
};

void ProjectTextGuardTest::typedAndPasted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    const QString ohm = QStringLiteral("Символ «Ω» нельзя сохранить в файле проекта");
    QTest::newRow("typed") << QStringLiteral("R=5Ωм") << false << QStringLiteral("R=5м") << QStringList{ohm};
    QTest::newRow("pasted") << QStringLiteral("R=5Ω") << true << QString() << QStringList{ohm};
    QTest::newRow("emoji pasted") << QStringLiteral("ок😀") << true << QString()
                                  << QStringList{QStringLiteral("Символ «😀» нельзя сохранить в файле проекта")};
    QTest::newRow("Cyrillic and №") << QStringLiteral("Насос №2") << false << QStringLiteral("Насос №2")
                                    << QStringList{};
}

void ProjectTextGuardTest::typedAndPasted()
{
    QFETCH(QString, typed);
    QFETCH(bool, paste);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    ScriptedInteraction ui;
    QWidget window;
    auto* field = new QLineEdit(&window);
    guardProjectTexts(&window, ui);
    if (paste) {
        QApplication::clipboard()->setText(typed);
        QTest::keySequence(field, QKeySequence::Paste);
    } else
        typeText(field, typed);
    QTRY_COMPARE(ui.texts(), messages);
    QCOMPARE(field->text(), text);
}

void ProjectTextGuardTest::importedTextStaysEditable()
{
    ScriptedInteraction ui;
    QLineEdit field;
    guardProjectText(&field, ui);
    field.setText(QStringLiteral("5Ω"));
    field.end(false);
    typeText(&field, QStringLiteral(" x"));
    QCOMPARE(field.text(), QStringLiteral("5Ω x"));
    typeText(&field, QStringLiteral("✓"));
    QTRY_COMPARE(ui.texts(), QStringList{QStringLiteral("Символ «✓» нельзя сохранить в файле проекта")});
    QCOMPARE(field.text(), QStringLiteral("5Ω x"));
}

void ProjectTextGuardTest::numberFieldsKeepTheirValidator()
{
    ScriptedInteraction ui;
    QLineEdit field;
    auto* numbers = new QIntValidator(&field);
    field.setValidator(numbers);
    guardProjectText(&field, ui);
    QCOMPARE(field.validator(), numbers);
}

QTEST_MAIN(ProjectTextGuardTest)
#include "test_project_text_guard.moc"
