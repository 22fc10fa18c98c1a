// Qt's own dialog texts in Russian when the translations are installed, and
// English without a word of complaint when they are not.
#include "platform/qt_translation.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace ostrel;

class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void loads_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("translations installed") << true;
        QTest::newRow("translations missing") << false;
    }
    void loads()
    {
        QFETCH(bool, installed);
        QTemporaryDir empty;
        const QString folder = installed ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : empty.path();
        if (installed && !QFileInfo::exists(folder + QStringLiteral("/qtbase_ru.qm")))
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        QTranslator translator;
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QCOMPARE(installQtTranslation(*QCoreApplication::instance(), translator, installed ? QString() : folder),
                 installed);
        // The buttons of Qt's message boxes and file dialogs.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 installed ? QStringLiteral("Отмена") : QStringLiteral("Cancel"));
        QCoreApplication::removeTranslator(&translator);
    }
};

QTEST_GUILESS_MAIN(QtTranslationTest)
#include "test_qt_translation.moc"
