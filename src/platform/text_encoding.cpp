#include "platform/text_encoding.h"

#include <QStringDecoder>

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

} // namespace ostrel
