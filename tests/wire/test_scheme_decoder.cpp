// The scheme decoder against the serialiser: the example project written in
// each controller version comes back as the block table it was made from;
// the call adjustment, the parameter encoding and the order checks.
#include "algorithm/step_program.h"
#include "workspace/workspace.h"
#include "wire/link_receiver.h"
#include "wire/scheme_decoder.h"
#include "wire/scheme_encoder.h"
#include "support/scripted_interaction.h"
#include "project/project_reader.h"
#include "scheme/netlist_import.h"
#include <QTest>
#include <cmath>
#include <memory>

using namespace ostrel;

namespace {

// The example netlist imported as a new project of `version`, with the
// parameters, texts and call flags of the example project put on every block
// whose type is the same. Controller 4, so that the number is not a default.
std::unique_ptr<Workspace> exampleModel(int version)
{
    auto project = std::make_unique<Workspace>();
    QString error;
    if (!loadProjectForCli(*project, QStringLiteral(OSTREL_EXAMPLES "/boiler.prt"), &error))
        qFatal("example project: %s", qPrintable(error));
    auto ws = std::make_unique<Workspace>();
    ws->selectVersion(uint8_t(version));
    ScriptedInteraction ui;
    if (!importNetlistFile(ws->blocks, ws->catalog, QStringLiteral(OSTREL_EXAMPLES "/boiler.net"), ui))
        qFatal("example netlist");
    resetNewProjectBlocks(ws->blocks, ws->catalog);
    BlockTable& bt = ws->blocks;
    const BlockTable& pt = project->blocks;
    for (int n = 1; n <= 99; ++n) {
        const int t = bt.block_type[n];
        if (t == 0 || pt.block_type[n] != t)
            continue;
        const int pc = std::min(ws->catalog.paramCount(t), project->catalog.paramCount(t));
        for (int k = 0; k < pc; ++k)
            bt.ParamStore[bt.param_base[n] + k] = pt.ParamStore[pt.param_base[n] + k];
        const int tc = std::min(ws->catalog.textCount(t), project->catalog.textCount(t));
        for (int k = 0; k < tc; ++k)
            bt.TextStore[bt.text_base[n] + k] = pt.TextStore[pt.text_base[n] + k];
    }
    ws->alg.call_flags = project->alg.call_flags;
    ws->settings.controller_number = 4;
    return ws;
}

QByteArray wireStream(const Workspace& ws)
{
    const SchemeImage image = buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number);
    if (!image.fatal.isEmpty())
        qFatal("serialiser refused the example");
    return schemeWireStream(image);
}

LinkReceiver::Output receive(const QByteArray& stream, ReceiverOptions options)
{
    LinkReceiver rx(std::move(options));
    rx.feed(stream);
    rx.finish();
    return rx.take();
}

// A text as the decoder must give it back: names cut to their width without
// the padding, byte texts as their value, step fields as their number.
QString expectedText(const Workspace& ws, int type, const QString& text)
{
    const int width = ws.catalog.textWidth(type);
    if (type == alg::kBlockType)
        return QString::number(alg::parseFieldText(text));
    if (width == 1)
        return QString::number(textNumericValue(text));
    QString s = text.left(width);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

QString problems(const std::vector<DecodeProblem>& list)
{
    QStringList out;
    for (const DecodeProblem& p : list)
        out << describe(p);
    return out.join(QLatin1Char('\n'));
}

} // namespace

class SchemeDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void exampleRoundTrip_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<int>>("candidates");
        QTest::newRow("4.5") << 5 << QList<int>{5};
        // Without a touch block, 4.2, 3.0 and 1.3 give the same totals.
        QTest::newRow("4.2") << 3 << QList<int>{3, 0, 1};
        QTest::newRow("3.0") << 0 << QList<int>{3, 0, 1};
        QTest::newRow("1.3") << 1 << QList<int>{3, 0, 1};
    }

    // Everything the wire carries comes back equal to the model it was built from.
    void exampleRoundTrip()
    {
        QFETCH(int, version);
        QFETCH(QList<int>, candidates);
        const auto ws = exampleModel(version);
        const BlockTable& bt = ws->blocks;
        const LinkReceiver::Output out = receive(wireStream(*ws), {version, ws->alg.call_flags});
        QCOMPARE(out.schemes.size(), size_t(1));
        const DecodedScheme& d = out.schemes[0];
        QVERIFY2(d.problems.empty(), qPrintable(problems(d.problems)));
        QVERIFY(d.complete());
        QCOMPARE(QList<int>(d.version_candidates.begin(), d.version_candidates.end()), candidates);
        QCOMPARE(int(d.controller), 4);
        QCOMPARE(d.param_bytes, bt.param_bytes);
        QCOMPARE(d.text_bytes, bt.text_bytes);

        for (int n = 0; n < 100; ++n) {
            QCOMPARE(int(d.block_type[n]), int(bt.block_type[n]));
            QCOMPARE(int(d.invert_mask[n]), int(bt.invert_mask[n]));
            for (int i = 0; i < 16; ++i)
                QCOMPARE(int(d.InputLink[n][i]), int(bt.InputLink[n][i]));
        }
        QCOMPARE(d.graph_input_link, bt.graph_input_link);
        QCOMPARE(d.journal_input_link, bt.journal_input_link);
        QCOMPARE(d.special_link, bt.special_link);
        QCOMPARE(d.journal_invert, bt.journal_invert);
        QCOMPARE(d.report_invert, bt.report_invert);

        int typed = 0;
        for (int n = 1; n <= 99; ++n)
            typed += bt.block_type[n] != 0;
        QCOMPARE(int(d.blocks.size()), typed);
        for (const DecodedBlock& b : d.blocks) {
            const int n = b.number;
            const int t = bt.block_type[n];
            QCOMPARE(b.type, t);
            QCOMPARE(b.param_base, int(bt.param_base[n]));
            QCOMPARE(b.text_base, int(bt.text_base[n]));
            QCOMPARE(int(b.params.size()), ws->catalog.paramCount(t));
            for (int k = 0; k < ws->catalog.paramCount(t); ++k) {
                const float v = bt.ParamStore[bt.param_base[n] + k];
                QCOMPARE(b.param_milli[k], int32_t(std::nearbyint(double(v) * 1000.0)));
                QCOMPARE(b.params[k], float(std::nearbyint(double(v) * 1000.0) / 1000.0));
            }
            QCOMPARE(int(b.texts.size()), ws->catalog.textCount(t));
            for (int k = 0; k < ws->catalog.textCount(t); ++k)
                QCOMPARE(b.texts[k], expectedText(*ws, t, bt.TextStore[bt.text_base[n] + k]));
        }
        // The example's algorithm calls step 3 from the then-branch of step 2.
        QCOMPARE(d.call_flags, ws->alg.call_flags);
        QCOMPARE(int(d.call_flags[1][0]), 1);
    }

    // A call adds 128 to its action byte: without the call flags the byte
    // stands as received; with them the bit is taken off, and a flagged
    // branch whose byte lacks it is reported where the byte is.
    void callAdjustment()
    {
        const auto ws = exampleModel(5);
        const int alg = alg::firstAlgorithmBlock(ws->blocks);
        QVERIFY(alg > 0);
        const QByteArray stream = wireStream(*ws);

        const DecodedScheme raw = receive(stream, {}).schemes.at(0);
        QVERIFY(raw.problems.empty());
        QCOMPARE(raw.block(alg)->texts[41 * 1 + alg::then_kind], QStringLiteral("225")); // 97 + 128
        QCOMPARE(int(raw.call_flags[1][0]), 0);

        CallFlags flags = ws->alg.call_flags;
        flags[2][1] = 1; // step 3's else-branch is no call on the wire
        const DecodedScheme d = receive(stream, {-1, flags}).schemes.at(0);
        QCOMPARE(d.block(alg)->texts[41 * 1 + alg::then_kind], QStringLiteral("97"));
        QCOMPARE(d.problems.size(), size_t(1));
        const DecodeProblem& p = d.problems[0];
        QCOMPARE(int(p.kind), int(ProblemKind::CallAdjustment));
        QCOMPARE(p.stage, 9);
        QCOMPARE(p.packet, 9);
        int textOffset = 0;
        for (int n = 1; n < alg; ++n)
            textOffset += ws->catalog.textCount(ws->blocks.block_type[n]) * ws->catalog.textWidth(ws->blocks.block_type[n]);
        const qint64 stage9 = stream.size() - (ws->blocks.text_bytes + 5);
        QCOMPARE(p.offset, stage9 + 3 + textOffset + 41 * 2 + alg::else_kind);
        QCOMPARE(p.found, QStringLiteral("0"));
        QCOMPARE(int(d.call_flags[2][1]), 0);
    }

    void parameterBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("milli");
        QTest::addColumn<bool>("viaFloat"); // the value survives a single float
        QTest::newRow("1.5") << QByteArray::fromHex("dc050000") << 1500 << true;
        QTest::newRow("-1.5") << QByteArray::fromHex("dc050080") << -1500 << true;
        QTest::newRow("zero with the sign bit") << QByteArray::fromHex("00000080") << 0 << true;
        QTest::newRow("three bytes") << QByteArray::fromHex("ffffff00") << 16777215 << true;
        QTest::newRow("fourth byte") << QByteArray::fromHex("00000001") << 16777216 << false;
        QTest::newRow("largest") << QByteArray::fromHex("ffffff7f") << 2147483647 << false;
        QTest::newRow("largest negative") << QByteArray::fromHex("ffffffff") << -2147483647 << false;
    }

    // Sign-magnitude, not two's complement; and back through the encoder.
    void parameterBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, milli);
        QFETCH(bool, viaFloat);
        const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
        QCOMPARE(decodeParameterMilli(b), int32_t(milli));
        if (!viaFloat)
            return;
        uint8_t again[4];
        QVERIFY(encodeParameter(float(milli / 1000.0), again));
        QCOMPARE(decodeParameterMilli(again), int32_t(milli));
    }

    // Stages out of order or twice: one report per misplaced packet, the
    // stage is still decoded from the packet that came last.
    void orderAndRepeats()
    {
        const auto ws = exampleModel(3);
        const QByteArray stream = wireStream(*ws);
        std::vector<LinkPacket> packets;
        PacketStream s;
        s.feed(stream);
        s.finish();
        for (StreamEvent& e : s.take())
            packets.push_back(e.packet);
        QCOMPARE(packets.size(), size_t(10));
        // A, B1, B3, B2, B2, B4 .. B9
        std::vector<LinkPacket> shuffled{packets[0], packets[1], packets[3], packets[2], packets[2]};
        shuffled.insert(shuffled.end(), packets.begin() + 4, packets.end());
        const DecodedScheme d = decodeScheme(shuffled);
        QCOMPARE(d.problems.size(), size_t(3));
        const struct { ProblemKind kind; int packet; QString expected, found; } want[] = {
            {ProblemKind::Order, 3, QStringLiteral("B2"), QStringLiteral("B3")},
            {ProblemKind::Order, 2, QStringLiteral("B4"), QStringLiteral("B2")},
            {ProblemKind::Repeated, 2, QStringLiteral("once"), QStringLiteral("B2")},
        };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(int(d.problems[i].kind), int(want[i].kind));
            QCOMPARE(d.problems[i].packet, want[i].packet);
            QCOMPARE(d.problems[i].offset, packets[size_t(want[i].packet)].offset);
            QCOMPARE(d.problems[i].expected, want[i].expected);
            QCOMPARE(d.problems[i].found, want[i].found);
        }
        QCOMPARE(d.InputLink, decodeScheme(packets).InputLink);
    }
};

QTEST_GUILESS_MAIN(SchemeDecoderTest)
#include "test_scheme_decoder.moc"
