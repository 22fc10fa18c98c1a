// The font chooser opens on the element's font, and confirming it untouched
// hands that font back even when its face is not installed here.
#include "platform/interaction.h"
#include "platform/ui/qt_interaction.h"

#include <QApplication>
#include <QFontDialog>
#include <QTimer>
#include <QtTest>

using namespace ostrel;

namespace {

QFont font(const QString& family, int points, bool bold, bool italic)
{
    QFont f(family);
    f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QString describe(const QFont& f)
{
    return QStringLiteral("%1 %2%3%4").arg(f.family()).arg(f.pointSize())
        .arg(f.bold() ? QStringLiteral(" bold") : QString())
        .arg(f.italic() ? QStringLiteral(" italic") : QString());
}

} // namespace

class FontChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void untouchedFieldsKeepTheElementsFont_data();
    void untouchedFieldsKeepTheElementsFont();
    void chooserConfirmedUntouched();
};

void FontChoiceTest::untouchedFieldsKeepTheElementsFont_data()
{
    QTest::addColumn<QFont>("chosen");
    QTest::addColumn<QString>("expected");
    // The chooser showed "Sans Serif 24" for Courier New 24 bold italic.
    QTest::newRow("nothing changed") << font("Sans Serif", 24, false, false) << "Courier New 24 bold italic";
    QTest::newRow("size changed") << font("Sans Serif", 30, false, false) << "Courier New 30 bold italic";
    QTest::newRow("face changed") << font("DejaVu Sans", 24, false, false) << "DejaVu Sans 24 bold italic";
    QTest::newRow("bold ticked") << font("Sans Serif", 24, true, false) << "Courier New 24 bold italic";
    QTest::newRow("everything changed") << font("DejaVu Serif", 12, true, true) << "DejaVu Serif 12 bold italic";
}

void FontChoiceTest::untouchedFieldsKeepTheElementsFont()
{
    QFETCH(QFont, chosen);
    QFETCH(QString, expected);
    const QFont initial = font("Courier New", 24, true, true);
    const QFont shown = font("Sans Serif", 24, false, false);
    QCOMPARE(describe(keepUntouchedFont(initial, shown, chosen)), expected);
}

void FontChoiceTest::chooserConfirmedUntouched()
{
    const QFont initial = font("Courier New", 24, true, true);
    QtInteraction ui;
    QTimer accept;
    accept.setInterval(10);
    QObject::connect(&accept, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* chooser = qobject_cast<QFontDialog*>(w); chooser && chooser->isVisible())
                chooser->accept();
    });
    accept.start();
    const auto chosen = ui.chooseFont(initial);
    QVERIFY(chosen);
    QCOMPARE(describe(*chosen), describe(initial));
}

QTEST_MAIN(FontChoiceTest)
#include "test_font_choice.moc"
