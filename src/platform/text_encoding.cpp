#include "platform/text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace ostrel {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool startsWithBom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kUtf8Bom, 3));
}

bool hasHighByte(QByteArrayView bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return true;
    return false;
}

// The text when the bytes are valid UTF-8 (the decoder flags broken,
// overlong and truncated sequences and surrogates); Cyrillic in code page
// 1251 practically never passes.
bool decodeUtf8(QByteArrayView bytes, QString* text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = utf8.decode(bytes);
    return !utf8.hasError();
}

TextEncoding detect(QByteArrayView bytes, QString* utf8Text)
{
    if (startsWithBom(bytes)) {
        decodeUtf8(bytes.sliced(3), utf8Text);
        return TextEncoding::Utf8;
    }
    if (hasHighByte(bytes) && decodeUtf8(bytes, utf8Text))
        return TextEncoding::Utf8;
    return TextEncoding::Cp1251;
}

} // namespace

TextEncoding detectTextEncoding(QByteArrayView bytes)
{
    QString ignored;
    return detect(bytes, &ignored);
}

QString decodeInputText(QByteArrayView bytes, TextEncoding* used)
{
    QString text;
    const TextEncoding enc = detect(bytes, &text);
    if (used)
        *used = enc;
    if (enc == TextEncoding::Utf8)
        return text;
    QStringDecoder cp1251("windows-1251");
    if (!cp1251.isValid())
        return QString::fromLatin1(bytes);
    return cp1251.decode(bytes);
}

namespace {

// Whether code page 1251 holds the character. ASCII and the Cyrillic
// letters А..я are answered at once; the rest asks the codec, a fresh one
// each time (its error mark does not reset).
bool holds(char32_t c)
{
    if (c < 0x80 || (c >= 0x0410 && c <= 0x044F))
        return true;
    QStringEncoder cp1251("windows-1251");
    const QByteArray bytes = cp1251.encode(QString::fromUcs4(&c, 1));
    return cp1251.isValid() && !cp1251.hasError() && !bytes.isEmpty();
}

} // namespace

QStringList nonCp1251Characters(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return {};
    QStringList found;
    for (const char32_t c : text.toUcs4())
        if (!holds(c))
            found << QString::fromUcs4(&c, 1);
    return found;
}

QString firstNonCp1251(const QString& text)
{
    return nonCp1251Characters(text).value(0);
}

QString nonCp1251Message(const QString& character)
{
    return QStringLiteral("Символ «") + character + QStringLiteral("» нельзя сохранить в файле проекта");
}

QByteArray encodeCp1251(const QString& text)
{
    QStringEncoder cp1251("windows-1251");
    if (!cp1251.isValid())
        return text.toLatin1();
    const QByteArray out = cp1251.encode(text);
    if (!cp1251.hasError())
        return out;
    // Slow path, only for a text that holds such a character: each character
    // the code page cannot hold becomes "?".
    QString held;
    held.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (holds(c))
            held.append(QString::fromUcs4(&c, 1));
        else
            held.append(u'?');
    }
    QStringEncoder again("windows-1251");
    return again.encode(held);
}

} // namespace ostrel
