// ostrel-cli write-pages and render-page as separate processes: the dumped
// packets of the example's pages, the rendered image and its summary, a
// write through a pseudo-terminal, a refused TCP peer, and the exit codes of
// bad arguments and of pages that cannot be sent.
#include "link/byte_sink.h"
#include "wire/link_receiver.h"
#include "wire/packet.h"
#include "wire/page_encoder.h"
#include "link/pty_pair.h"
#include "link/sequences.h"
#include "wire/transfer_state.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include "cli/cli_run.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

namespace {

const QString kProject = QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");

using Run = ostrel::testing::CliRun;
using ostrel::testing::readAll;
using ostrel::testing::runCli;

int le16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }

// The example project with its background replaced by `picture` (saved as
// PNG under the picture's file name: pictures are read by their content).
QString exampleWithPicture(const QTemporaryDir& dir, const QImage& picture)
{
    for (const char* name : {"boiler.prt", "boiler.net"}) {
        const QString to = dir.filePath(QString::fromLatin1(name));
        QFile::remove(to);
        if (!QFile::copy(QStringLiteral(OSTREL_EXAMPLES "/") + QString::fromLatin1(name), to))
            return {};
    }
    if (!picture.save(dir.filePath(QStringLiteral("boiler.gif")), "PNG"))
        return {};
    return dir.filePath(QStringLiteral("boiler.prt"));
}

QImage noise(int w = 800, int h = 480)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            img.setPixel(x, y, s >> 8);
        }
    return img;
}

// The header of a PNG of w x h pixels with one row of data: enough for its
// size to be read, far too large to be decoded.
QByteArray pngOfSize(quint32 w, quint32 h)
{
    const auto crc32 = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (char ch : bytes) {
            c ^= uint8_t(ch);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    const auto be32 = [](quint32 v) {
        QByteArray b;
        for (int shift = 24; shift >= 0; shift -= 8)
            b.append(char((v >> shift) & 0xFF));
        return b;
    };
    const auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray body = QByteArray(type) + data;
        return be32(quint32(data.size())) + body + be32(crc32(body));
    };
    const QByteArray header = be32(w) + be32(h) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header)
        + chunk("IDAT", qCompress(QByteArray(3 * w + 1, '\0')).mid(4)) + chunk("IEND", {});
}

QImage plain(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    return img;
}

// What the desktop program prepares for page p of the example: the painted
// image, the encoded parts and the sixteen packets.
struct Expected {
    QImage image;
    std::array<int, 8> lengths{};
    std::array<QByteArray, 8> payloads{};
    QByteArray tables;
    QByteArray stream;
};

Expected expectedPage(Workspace& ws, int p, int controller)
{
    ElementPictures pictures;
    PagePainter painter(pictures);
    const PagePrepareResult r = preparePage(painter, ws.pages, p, ws.version_code, QStringLiteral(OSTREL_EXAMPLES),
                                            ws.transfer);
    Expected e;
    if (!r.ok)
        return e;
    e.image = r.image;
    e.lengths = r.band_lengths;
    e.payloads = ws.transfer.part_payload;
    e.tables = ws.transfer.tx_buffer.mid(7 * TransferState::kPartSize + r.band_lengths[7],
                                         elementTablesSize(ws.version_code));
    e.stream = pageWireStream(ws.transfer, uint8_t(controller), p);
    return e;
}

} // namespace

class CliPagesTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    std::unique_ptr<Workspace> ws;

    void loadExample()
    {
        ws = std::make_unique<Workspace>();
        QString error;
        QVERIFY2(loadProjectForCli(*ws, kProject, &error), qPrintable(error));
    }

    // Walks a dump page by page: sixteen packets C0, D0, .., C7, D7, each
    // header with its checksum, each data payload as long as its header's
    // band length says.
    void checkFraming(const QByteArray& stream, const QList<int>& pages, int controller)
    {
        qsizetype at = 0;
        for (int page : pages) {
            for (int k = 0; k < 8; ++k) {
                QVERIFY(at + 8 <= stream.size());
                const QByteArray header = stream.mid(at, 8);
                QCOMPARE(int(uint8_t(header[0])), controller);
                QCOMPARE(header[1], 'C');
                QCOMPARE(int(header[4]), page);
                QCOMPARE(int(header[5]), k);
                QCOMPARE(header, withCrc(header.left(6)));
                const int length = le16(header, 2);
                at += 8;
                const int payload = k < 7 ? length + 1 : length + sentTableBytes(ws->version_code);
                QVERIFY(at + 3 + payload <= stream.size());
                QCOMPARE(int(uint8_t(stream[at])), controller);
                QCOMPARE(stream[at + 1], 'D');
                QCOMPARE(int(stream[at + 2]), k);
                QCOMPARE(le16(stream, at + 3), length);
                at += 3 + payload;
            }
        }
        QCOMPARE(at, stream.size());
    }

private slots:
    void dump_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<int>("controller");
        QTest::newRow("page 1, project's controller") << QStringList{QStringLiteral("--page"), QStringLiteral("1")}
                                                     << QList<int>{0} << 0;
        QTest::newRow("page 2, controller 6") << QStringList{QStringLiteral("--page"), QStringLiteral("2"),
                                                             QStringLiteral("--controller"), QStringLiteral("6")}
                                              << QList<int>{1} << 6;
        QTest::newRow("all pages") << QStringList{QStringLiteral("--all")} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << 0;
    }
    void dump()
    {
        QFETCH(QStringList, selection);
        QFETCH(QList<int>, pages);
        QFETCH(int, controller);
        loadExample();
        if (controller == 0)
            controller = ws->settings.controller_number;
        const QString file = tmp.filePath(QStringLiteral("%1.bin").arg(QTest::currentDataTag()));
        const Run r = runCli(QStringList{QStringLiteral("write-pages"), kProject, QStringLiteral("--dump"), file}
                             + selection);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QByteArray got = readAll(file);
        checkFraming(got, pages, controller);
        QByteArray expected;
        QList<QImage> images;
        for (int p : pages) {
            const Expected e = expectedPage(*ws, p, controller);
            expected += e.stream;
            images << quantise(e.image);
        }
        QCOMPARE(got, expected);

        // The receiving end reads every page whole, with the image the
        // controller shows.
        LinkReceiver rx;
        rx.feed(got);
        rx.finish();
        const LinkReceiver::Output decoded = rx.take();
        QCOMPARE(int(decoded.pages.size()), int(pages.size()));
        for (size_t i = 0; i < decoded.pages.size(); ++i) {
            const DecodedPage& d = decoded.pages[i];
            QVERIFY(d.complete());
            QCOMPARE(d.page, pages[qsizetype(i)]);
            QCOMPARE(int(d.controller), controller);
            QCOMPARE(pageImage(d), images[qsizetype(i)]);
        }
        const QJsonObject summary = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(summary.value(QStringLiteral("bytes")).toInteger(), got.size());
        QCOMPARE(summary.value(QStringLiteral("pages")).toArray().size(), pages.size());
    }

    // render-page: the PNG is the page image the write paints (or its 12-bit
    // expansion), and the summary names what the write sends.
    void renderPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("quantised");
        QTest::addColumn<QString>("background");
        QTest::newRow("page 1 picture") << 1 << false << QStringLiteral("picture");
        QTest::newRow("page 1 quantised") << 1 << true << QStringLiteral("picture");
        QTest::newRow("page 2 fill") << 2 << false << QStringLiteral("fill");
    }
    void renderPage()
    {
        QFETCH(int, page);
        QFETCH(bool, quantised);
        QFETCH(QString, background);
        loadExample();
        const QString png = tmp.filePath(QStringLiteral("page%1-%2.png").arg(page).arg(quantised));
        QStringList args{QStringLiteral("render-page"), kProject, QStringLiteral("--page"), QString::number(page),
                         QStringLiteral("--png"), png};
        if (quantised)
            args << QStringLiteral("--quantised");
        const Run r = runCli(args);
        QVERIFY2(r.exitCode == 0, r.err.constData());

        const Expected e = expectedPage(*ws, page - 1, ws->settings.controller_number);
        QVERIFY(!e.image.isNull());
        const QImage got(png);
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32),
                 quantised ? quantise(e.image) : e.image.convertToFormat(QImage::Format_RGB32));

        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("page")).toInt(), page);
        QCOMPARE(o.value(QStringLiteral("version")).toInt(), int(ws->version_code));
        QCOMPARE(o.value(QStringLiteral("background")).toString(), background);
        const QJsonArray lengths = o.value(QStringLiteral("band_lengths")).toArray();
        const QJsonArray sizes = o.value(QStringLiteral("payload_sizes")).toArray();
        QCOMPARE(lengths.size(), 8);
        QCOMPARE(sizes.size(), 8);
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(lengths.at(k).toInt(), e.lengths[size_t(k)]);
            QCOMPARE(sizes.at(k).toInt(), int(e.payloads[size_t(k)].size()));
        }
        QCOMPARE(sizes.at(7).toInt(), e.lengths[7] + 3581);
        const QByteArray tables = QByteArray::fromHex(o.value(QStringLiteral("table_bytes")).toString().toLatin1());
        QCOMPARE(tables.size(), 3580);
        QCOMPARE(tables, e.tables);
    }

    // A background picture that cannot be loaded is reported with a warning
    // line and the page is rendered (and written) with its fill colour; one
    // whose file ends early is painted as far as it goes, with a warning.
    // Both commands succeed.
    void pictureWarning_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("line");
        const QString missing = QStringLiteral("warning: Рисунок фона страницы 1 не загружен: boiler.gif");
        const QString cut = QStringLiteral("warning: Рисунок фона страницы 1 загружен не полностью: boiler.gif");
        for (const char* command : {"render-page", "write-pages"}) {
            QTest::addRow("%s, missing", command) << command << "missing" << missing;
            QTest::addRow("%s, GIF cut short", command) << command << "cut" << cut;
        }
    }
    void pictureWarning()
    {
        QFETCH(QString, command);
        QFETCH(QString, picture);
        QFETCH(QString, line);
        QTemporaryDir dir;
        for (const char* name : {"boiler.prt", "boiler.net"})
            QVERIFY(QFile::copy(QStringLiteral(OSTREL_EXAMPLES "/") + QString::fromLatin1(name),
                                dir.filePath(QString::fromLatin1(name))));
        if (picture == QLatin1String("cut")) {
            const QByteArray gif = readAll(QStringLiteral(OSTREL_EXAMPLES "/boiler.gif"));
            QFile f(dir.filePath(QStringLiteral("boiler.gif")));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(gif.left(gif.size() / 3)) == gif.size() / 3);
        }
        const QString out = dir.filePath(QStringLiteral("out"));
        const bool render = command == QLatin1String("render-page");
        const Run r = runCli({command, dir.filePath(QStringLiteral("boiler.prt")), QStringLiteral("--page"),
                              QStringLiteral("1"), render ? QStringLiteral("--png") : QStringLiteral("--dump"), out});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.errText(), line + u'\n');
        QVERIFY(QFile::exists(out));
        if (!render)
            return;
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("background_kind")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("background")).toString(),
                 picture == QLatin1String("cut") ? QStringLiteral("picture") : QStringLiteral("fill"));
        QCOMPARE(o.value(QStringLiteral("warnings")).toArray(), QJsonArray{line.mid(9)});
        if (picture == QLatin1String("missing")) {
            loadExample();
            QCOMPARE(QImage(out).pixel(5, 5), recordColor(ws->pages.fill_color[0]).rgb());
        }
    }

    // One page through a pseudo-terminal with the protocol's pacing: the
    // same bytes as the dump.
    void serialWrite()
    {
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        loadExample();
        PtyPair pty;
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        // --no-journal: the example in the source tree stays as it is.
        const Run r = runCli({QStringLiteral("write-pages"), kProject, QStringLiteral("--page"), QStringLiteral("2"),
                              QStringLiteral("--no-journal"), QStringLiteral("--serial"), pty.devicePath()});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QByteArray expected = expectedPage(*ws, 1, ws->settings.controller_number).stream;
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 5000);
        QCOMPARE(sink.bytes, expected);
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");   // expected on standard error ("" = any)
        QTest::addColumn<QString>("fixture");   // "" = the example, "noise", "large"
        const QString wp = QStringLiteral("write-pages"), rp = QStringLiteral("render-page");
        const QString page = QStringLiteral("--page"), dump = QStringLiteral("--dump"), png = QStringLiteral("--png");
        const QString out = QStringLiteral("never-written");
        const QString memory = QStringLiteral("Не хватает памяти!");
        const QString size = QStringLiteral("Размер Х x Y должен быть меньше 800 x 480");
        const QString p1 = QStringLiteral("1");
        QTest::newRow("write: no page") << QStringList{wp, kProject, dump, out} << 2 << QString() << QString();
        QTest::newRow("write: page and all") << QStringList{wp, kProject, page, p1, QStringLiteral("--all"), dump, out}
                                             << 2 << QString() << QString();
        QTest::newRow("write: page 0") << QStringList{wp, kProject, page, QStringLiteral("0"), dump, out} << 2
                                       << QStringLiteral("--page expects 1..8") << QString();
        QTest::newRow("write: page 9") << QStringList{wp, kProject, page, QStringLiteral("9"), dump, out} << 2
                                       << QStringLiteral("--page expects 1..8") << QString();
        QTest::newRow("write: no target") << QStringList{wp, kProject, page, p1} << 2 << QString() << QString();
        QTest::newRow("write: two targets") << QStringList{wp, kProject, page, p1, dump, out, QStringLiteral("--serial"),
                                                           QStringLiteral("/dev/null")}
                                            << 2 << QString() << QString();
        QTest::newRow("write: controller 0") << QStringList{wp, kProject, page, p1, dump, out, QStringLiteral("--controller"),
                                                            QStringLiteral("0")}
                                             << 2 << QStringLiteral("--controller expects 1..8") << QString();
        QTest::newRow("write: tcp without port") << QStringList{wp, kProject, page, p1, QStringLiteral("--tcp"),
                                                                QStringLiteral("localhost")}
                                                 << 2 << QString() << QString();
        QTest::newRow("write: missing project") << QStringList{wp, QStringLiteral("/nonexistent/x.prt"), page, p1, dump, out}
                                                << 2 << QString() << QString();
        QTest::newRow("write: netlist given") << QStringList{wp, QStringLiteral(OSTREL_EXAMPLES "/boiler.net"), page, p1,
                                                             dump, out}
                                              << 2 << QString() << QString();
        QTest::newRow("write: band too long") << QStringList{wp, QString(), page, p1, dump, out} << 1 << memory
                                              << QStringLiteral("noise");
        QTest::newRow("write: all, band too long") << QStringList{wp, QString(), QStringLiteral("--all"), dump, out} << 1
                                                   << memory << QStringLiteral("noise");
        QTest::newRow("write: picture too large") << QStringList{wp, QString(), page, p1, dump, out} << 1 << size
                                                  << QStringLiteral("large");
        QTest::newRow("write: picture 8000 x 8000") << QStringList{wp, QString(), page, p1, dump, out} << 1 << size
                                                    << QStringLiteral("huge");
        QTest::newRow("write: dump folder missing")
            << QStringList{wp, kProject, page, p1, dump, QStringLiteral("/nonexistent/dump.bin")} << 1
            << QStringLiteral("cannot write") << QString();
        QTest::newRow("write: serial port cannot open")
            << QStringList{wp, kProject, page, p1, QStringLiteral("--serial"), QStringLiteral("/nonexistent/tty")} << 1
            << QStringLiteral("Ошибка СОМ порта!") << QString();
        QTest::newRow("render: no png") << QStringList{rp, kProject, page, p1} << 2 << QString() << QString();
        QTest::newRow("render: no page") << QStringList{rp, kProject, png, out} << 2 << QString() << QString();
        QTest::newRow("render: page 9") << QStringList{rp, kProject, page, QStringLiteral("9"), png, out} << 2
                                        << QString() << QString();
        QTest::newRow("render: missing project") << QStringList{rp, QStringLiteral("/nonexistent/x.prt"), page, p1, png, out}
                                                 << 2 << QString() << QString();
        QTest::newRow("render: band too long") << QStringList{rp, QString(), page, p1, png, out} << 1 << memory
                                               << QStringLiteral("noise");
        QTest::newRow("render: picture too large") << QStringList{rp, QString(), page, p1, png, out} << 1 << size
                                                   << QStringLiteral("large");
        QTest::newRow("render: picture 8000 x 8000") << QStringList{rp, QString(), page, p1, png, out} << 1 << size
                                                     << QStringLiteral("huge");
    }
    void exitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QString, fixture);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString outFile = dir.filePath(QStringLiteral("never-written"));
        for (QString& a : args) {
            if (a == QLatin1String("never-written"))
                a = outFile;
            if (a.isEmpty()) {
                a = exampleWithPicture(dir, fixture == QLatin1String("noise") ? noise() : plain(801, 480));
                QVERIFY(!a.isEmpty());
                // Too large for Qt to decode at all (more than its allocation limit).
                if (fixture == QLatin1String("huge")) {
                    QFile f(dir.filePath(QStringLiteral("boiler.gif")));
                    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(pngOfSize(8000, 8000)) > 0);
                }
            }
        }
        const Run r = runCli(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(!r.err.isEmpty());
        if (!message.isEmpty())
            QVERIFY2(r.errText().contains(message), r.err.constData());
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(outFile));
    }

    // A peer that refuses: the write fails with the port message.
    void refusedTcpFails()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        const Run r = runCli({QStringLiteral("write-pages"), kProject, QStringLiteral("--page"), QStringLiteral("1"),
                              QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(port)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.errText().contains(QStringLiteral("Ошибка порта!!!")), r.err.constData());
    }
};

QTEST_MAIN(CliPagesTest)
#include "test_cli_pages.moc"
