#pragma once
// Which encoding a text file from outside the program is in. Netlists and
// drawings are written in code page 1251, but one that went through a text
// editor may come back as UTF-8; the bytes tell which.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace ostrel {

enum class TextEncoding { Cp1251, Utf8 };

// UTF-8 when the bytes begin with its byte-order mark, or when they are valid
// UTF-8 holding at least one multibyte sequence; code page 1251 otherwise
// (plain ASCII reads the same either way).
TextEncoding detectTextEncoding(QByteArrayView bytes);

// Decodes the bytes in the detected encoding, dropping a UTF-8 byte-order
// mark. `used` receives the encoding when given.
QString decodeInputText(QByteArrayView bytes, TextEncoding* used = nullptr);

// The characters of `text` that code page 1251 cannot hold (Ω, ✓, an emoji),
// in their order; empty when it holds them all.
QStringList nonCp1251Characters(const QString& text);
// The first of them, or an empty string.
QString firstNonCp1251(const QString& text);
// "Символ «Ω» нельзя сохранить в файле проекта".
QString nonCp1251Message(const QString& character);
// The text in code page 1251; a character the code page cannot hold becomes
// "?", as the controller's tables get it, never the control byte 0x1A.
QByteArray encodeCp1251(const QString& text);

} // namespace ostrel
