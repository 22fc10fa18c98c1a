// Checked saves and copies: a write that fails, also one that fails only when
// the buffered bytes reach the disk, leaves the previous file as it was, no
// stray temporary file, and an error that names the file.
#include "platform/checked_file.h"
#include "platform/write_faults.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

enum class Fault { None, Seam, SeamOtherFile, SizeLimit, FullDisk };

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray pattern(qsizetype size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = char('a' + i % 26);
    return b;
}

} // namespace

class CheckedFileTest : public QObject {
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("ok");
        const int small = 6000;      // stays in the write buffer until the flush
        const int large = 300000;    // goes to the disk while it is written
        for (bool copy : {false, true}) {
            const char* k = copy ? "copy" : "save";
            QTest::addRow("%s, no fault", k) << copy << int(Fault::None) << small << true;
            QTest::addRow("%s, empty", k) << copy << int(Fault::None) << 0 << true;
            QTest::addRow("%s, large", k) << copy << int(Fault::None) << large << true;
            QTest::addRow("%s, seam, small", k) << copy << int(Fault::Seam) << small << false;
            QTest::addRow("%s, seam, large", k) << copy << int(Fault::Seam) << large << false;
            QTest::addRow("%s, seam for another file", k) << copy << int(Fault::SeamOtherFile) << small << true;
            QTest::addRow("%s, size limit, small", k) << copy << int(Fault::SizeLimit) << small << false;
            QTest::addRow("%s, size limit, large", k) << copy << int(Fault::SizeLimit) << large << false;
            QTest::addRow("%s, full tmpfs, small", k) << copy << int(Fault::FullDisk) << small << false;
            QTest::addRow("%s, full tmpfs, large", k) << copy << int(Fault::FullDisk) << large << false;
        }
    }
    void save()
    {
        QFETCH(bool, copy);
        QFETCH(int, fault);
        QFETCH(int, size);
        QFETCH(bool, ok);

        QTemporaryDir work;
        std::unique_ptr<FullTmpfs> disk;
        QString dest = work.filePath(QStringLiteral("target.bin"));
        if (Fault(fault) == Fault::FullDisk) {
            disk = std::make_unique<FullTmpfs>();
            if (!disk->mounted())
                QSKIP("cannot mount a tmpfs here");
            dest = disk->path(QStringLiteral("target.bin"));
        }
        // The source of a copy lives outside the faulty file system.
        const QString source = work.filePath(QStringLiteral("source.bin"));
        const QByteArray bytes = pattern(size);
        QVERIFY(writeFile(source, bytes));
        QVERIFY(writeFile(dest, "old contents"));
        const QStringList before = QDir(QFileInfo(dest).absolutePath()).entryList(QDir::Files | QDir::Hidden);

        SaveFault seam;
        if (Fault(fault) == Fault::Seam || Fault(fault) == Fault::SeamOtherFile) {
            seam.failAfterBytes = 1000;
            if (Fault(fault) == Fault::SeamOtherFile)
                seam.fileName = QStringLiteral("other.bin");
        }
        QString error;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (Fault(fault) == Fault::SizeLimit) {
                limit = std::make_unique<FileSizeLimit>(2048);
                QVERIFY(limit->active());
            }
            error = copy ? copyFileChecked(source, dest, &seam) : saveFileChecked(dest, bytes, &seam);
        }
        QCOMPARE(error.isEmpty(), ok);
        if (ok) {
            QCOMPARE(readAll(dest), bytes);
        } else {
            QVERIFY2(error.contains(QStringLiteral("target.bin")), qPrintable(error));
            // The cause is named, also where Qt itself has none for a
            // failed flush or a write that got only part of its bytes out.
            const QString cause = Fault(fault) == Fault::SizeLimit ? QStringLiteral(": File too large")
                                                                   : QStringLiteral(": No space left on device");
            QVERIFY2(error.endsWith(cause), qPrintable(error));
            QCOMPARE(readAll(dest), QByteArray("old contents"));
        }
        // No temporary file is left behind.
        QCOMPARE(QDir(QFileInfo(dest).absolutePath()).entryList(QDir::Files | QDir::Hidden), before);
    }

    // A device, a FIFO or a folder where the file should go is left as it
    // is: a save would replace it with a regular file.
    void nonRegularTargetRefused_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<QString>("kind");
        for (bool copy : {false, true})
            for (const char* kind : {"fifo", "folder", "device"})
                QTest::addRow("%s, %s", copy ? "copy" : "save", kind) << copy << QString::fromLatin1(kind);
    }
    void nonRegularTargetRefused()
    {
        QFETCH(bool, copy);
        QFETCH(QString, kind);
        QTemporaryDir work;
        const QString dest = work.filePath(QStringLiteral("target.bin"));
        if (!makeSpecialFile(kind, dest))
            QSKIP("cannot make that kind of node here");
        const QString source = work.filePath(QStringLiteral("source.bin"));
        QVERIFY(writeFile(source, "contents"));
        const QString error = copy ? copyFileChecked(source, dest) : saveFileChecked(dest, "contents");
        QCOMPARE(error, dest + QStringLiteral(": not a regular file"));
        QVERIFY(isSpecialFile(kind, dest));
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("source.bin"), QStringLiteral("target.bin")}));
    }

    void copyRefusesBadSources_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("missing") << QStringLiteral("missing.bin");
        QTest::newRow("a folder") << QStringLiteral(".");
    }
    void copyRefusesBadSources()
    {
        QFETCH(QString, source);
        QTemporaryDir work;
        const QString dest = work.filePath(QStringLiteral("target.bin"));
        QVERIFY(writeFile(dest, "old contents"));
        QVERIFY(!copyFileChecked(work.filePath(source), dest).isEmpty());
        QCOMPARE(readAll(dest), QByteArray("old contents"));
    }

    // A file copied onto itself is not touched.
    void copyOntoItself()
    {
        QTemporaryDir work;
        const QString path = work.filePath(QStringLiteral("same.bin"));
        QVERIFY(writeFile(path, "contents"));
        QCOMPARE(copyFileChecked(path, work.filePath(QStringLiteral("./same.bin"))), QString());
        QCOMPARE(readAll(path), QByteArray("contents"));
    }
};

QTEST_GUILESS_MAIN(CheckedFileTest)
#include "test_checked_file.moc"
