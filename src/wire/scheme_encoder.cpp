#include "wire/scheme_encoder.h"
#include "algorithm/step_program.h"
#include "wire/packet.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

// Unicode -> code page 1251 for single characters, built once per image from
// the platform's codec. ASCII maps to itself; the upper half is looked up.
class Cp1251Table {
public:
    Cp1251Table()
    {
        QByteArray upper(128, '\0');
        for (int i = 0; i < 128; ++i)
            upper[i] = char(0x80 + i);
        QStringDecoder decoder("windows-1251");
        const QString chars = decoder.isValid() ? QString(decoder(upper)) : QString();
        for (int i = 0; i < 128; ++i)
            upper_[i] = i < chars.size() ? chars.at(i).unicode() : 0xFFFD;
    }

    char encode(char16_t c) const
    {
        if (c < 0x80)
            return char(c);
        if (c >= 0x0410 && c <= 0x044F) // А..я occupy 0xC0..0xFF
            return char(0xC0 + (c - 0x0410));
        for (int i = 0; i < 128; ++i)
            if (upper_[i] == c && c != 0xFFFD)
                return char(0x80 + i);
        return '?';
    }

private:
    std::array<char16_t, 128> upper_{};
};

void appendPadded(QByteArray& out, const QString& text, int width, const Cp1251Table& cp)
{
    const int n = std::min<int>(int(text.size()), width);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    for (int i = 0; i < n; ++i)
        out.append(cp.encode(s[i]));
    out.append(width - n, ' ');
}

QByteArray start(int controller, char command, int reserve)
{
    QByteArray p;
    p.reserve(reserve + 2);
    p.append(char(uint8_t(controller)));
    p.append(command);
    return p;
}

QByteArray dataPacket(int controller, int stage, int reserve)
{
    QByteArray p = start(controller, kSchemeData, reserve + 1);
    p.append(char(stage));
    return p;
}

} // namespace

bool encodeParameter(float value, uint8_t out[4])
{
    out[0] = out[1] = out[2] = out[3] = 0;
    // The product of a float and 1000 is exact in double; rint rounds ties to even.
    const double v = std::nearbyint(double(value) * 1000.0);
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
        return false;
    const auto m = uint32_t(std::fabs(v));
    out[0] = uint8_t(m & 0xFF);
    out[1] = uint8_t((m >> 8) & 0xFF);
    out[2] = uint8_t((m >> 16) & 0xFF);
    out[3] = uint8_t(m >> 24);
    if (v < 0)
        out[3] = uint8_t(out[3] + 128);
    return true;
}

int64_t textNumericValue(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        number.append(char(text[i++].unicode()));
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 0x80 && number.size() < 40) {
        number.append(char(text[i++].unicode()));
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        number.append('.');
        ++i;
        while (i < n && text[i].unicode() < 0x80 && text[i].isDigit() && number.size() < 60) {
            number.append(char(text[i++].unicode()));
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    const double d = number.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return 0;
    const double r = std::nearbyint(d);
    return int64_t(std::clamp(r, -1e15, 1e15));
}

SchemeImage buildSchemeImage(const BlockTable& bt, const BlockCatalog& catalog, const AlgorithmData& alg,
                             int controller)
{
    SchemeImage img;

    // Stage 8: the numeric parameters.
    const int paramCount = std::clamp(bt.param_bytes / 4, 0, BlockTable::kParams);
    const int P = 4 * paramCount;
    {
        QByteArray p = dataPacket(controller, 8, P);
        uint8_t bytes[4];
        for (int i = 0; i < paramCount; ++i) {
            if (!encodeParameter(bt.ParamStore[i], bytes))
                img.parameterError = true;
            p.append(reinterpret_cast<const char*>(bytes), 4);
        }
        img.packets[8] = p;
    }

    // Stage 9: the texts of blocks 1..99.
    {
        const Cp1251Table cp;
        const QString empty;
        QByteArray p = dataPacket(controller, 9, std::max(bt.text_bytes, 0));
        for (int n = 1; n < kSentBlocks; ++n) {
            const int type = bt.block_type[n];
            const TextForm form = catalog.textForm(type);
            const int count = catalog.textCount(type);
            if (form == TextForm::None || count <= 0)
                continue;
            if (form == TextForm::Steps) {
                QByteArray steps;
                QString problem;
                if (!algorithmDownloadImage(bt, alg, n, steps, &problem)) {
                    img.fatal = problem.isEmpty() ? kParameterError : problem;
                    return img;
                }
                steps.resize(count, '\0');
                p.append(steps);
                continue;
            }
            const int base = bt.text_base[n];
            const int width = catalog.textWidth(type);
            for (int k = 0; k < count; ++k) {
                const int index = base + k;
                const QString& text = (index >= 0 && index < BlockTable::kTexts) ? bt.TextStore[index] : empty;
                if (form == TextForm::Number) {
                    const int64_t v = textNumericValue(text);
                    if (v < 0 || v > 255) {
                        img.fatal = kParameterError;
                        return img;
                    }
                    p.append(char(uint8_t(v)));
                } else {
                    appendPadded(p, text, width, cp);
                }
            }
        }
        img.packets[9] = p;
    }
    const int T = int(img.packets[9].size()) - 3;
    if (T > 0xFFFF) {
        img.fatal = kParameterError;
        return img;
    }

    // Stage 0: the header with the two byte totals.
    {
        QByteArray p = start(controller, kSchemeHeader, kSchemeHeaderData);
        p.append(char(P & 0xFF));
        p.append(char(P >> 8));
        p.append(char(T & 0xFF));
        p.append(char(T >> 8));
        img.packets[0] = p;
    }
    // Stage 1: block types.
    {
        QByteArray p = dataPacket(controller, 1, kSentBlocks);
        for (int n = 0; n < kSentBlocks; ++n)
            p.append(char(uint8_t(bt.block_type[n])));
        img.packets[1] = p;
    }
    // Stage 2: the wiring, column by column.
    {
        QByteArray p = dataPacket(controller, 2, kSentInputs * kSentBlocks);
        for (int i = 0; i < kSentInputs; ++i)
            for (int n = 0; n < kSentBlocks; ++n)
                p.append(char(bt.InputLink[n][i]));
        img.packets[2] = p;
    }
    // Stages 3 and 4: graph and journal inputs.
    {
        QByteArray g = dataPacket(controller, 3, kLinkColumns);
        QByteArray j = dataPacket(controller, 4, kLinkColumns);
        for (int c = 0; c < kLinkColumns; ++c) {
            g.append(char(bt.graph_input_link[c]));
            j.append(char(bt.journal_input_link[c]));
        }
        img.packets[3] = g;
        img.packets[4] = j;
    }
    // Stage 5: the special input rows 0..7.
    {
        QByteArray p = dataPacket(controller, 5, kSpecialRows * kLinkColumns);
        for (int r = 0; r < kSpecialRows; ++r)
            for (int c = 0; c < kLinkColumns; ++c)
                p.append(char(bt.special_link[r][c]));
        img.packets[5] = p;
    }
    // Stages 6 and 7: inversion masks.
    {
        QByteArray p = dataPacket(controller, 6, kSentBlocks);
        for (int n = 0; n < kSentBlocks; ++n)
            p.append(char(bt.invert_mask[n]));
        img.packets[6] = p;
        QByteArray j = dataPacket(controller, 7, kJournalInverts);
        for (int c = 0; c < kJournalInverts; ++c)
            j.append(char(bt.journal_invert[c]));
        img.packets[7] = j;
    }
    return img;
}

QByteArray schemeWireStream(const SchemeImage& image)
{
    QByteArray out;
    for (const QByteArray& p : image.packets)
        out.append(withCrc(p));
    return out;
}

} // namespace ostrel
