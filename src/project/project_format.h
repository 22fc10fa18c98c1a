#pragma once
// Line formats and fixed texts of the project file, shared by its writer and
// reader, and the helpers that turn stored file references into paths.
#include "scada/element_kinds.h"

#include <QString>
#include <QStringView>
#include <cstdint>

namespace ostrel::project {

// Fixed lines.
inline const QString kHeaderTail = QStringLiteral("*************** Проект Ostrel ****************");
inline const QString kGridHeader = QStringLiteral("*************** Параметры координатной сетки ****************");
inline const QString kSchemeHeader = QStringLiteral("*************** Параметры схемы ****************");
inline const QString kNamesHeader = QStringLiteral("*************** Имена схемы ****************");
inline const QString kCommentsHeader = QStringLiteral("*************** Коментарии АЛГОРИТМ ****************");
inline const QString kBlockHeaderMid = QStringLiteral(" *************** Блок ");
inline const QString kBlockHeaderTail = QStringLiteral("****************");
inline const QString kReserveLine = QStringLiteral("Reserv");
inline const QString kPagePrefix = QStringLiteral("Страница SCADA  - ");

// Kind labels of the element label lines (the element kinds' file labels).
inline const QString kLabelParametr = fileLabel(ObjectKind::Parametr);
inline const QString kLabelSignal = fileLabel(ObjectKind::Signal);
inline const QString kLabelTextSignal = fileLabel(ObjectKind::TextSignal);
inline const QString kLabelLevel = fileLabel(ObjectKind::Level);
inline const QString kLabelGoBlock = fileLabel(ObjectKind::GoBlock);
inline const QString kLabelFigura = fileLabel(ObjectKind::Figura);
inline const QString kLabelVent = fileLabel(ObjectKind::Vent);
inline const QString kLabelText = fileLabel(ObjectKind::Text);
inline const QString kLabelBackground = QStringLiteral("Фон SCADA - ");
inline const QString kLabelGrafik = fileLabel(ObjectKind::Grafik);
inline const QString kLabelClock = fileLabel(ObjectKind::Clock);
inline const QString kLabelControl = fileLabel(ObjectKind::Control);
inline const QString kLabelMenu = fileLabel(ObjectKind::Menu);

inline constexpr int kReserveLines = 16; // "Reserv" lines after each mechanism record

// A number line: a blank (or "-" for negative values), the digits, a blank.
QString formatNumber(qint64 value);
void appendNumber(QString& out, qint64 value);

// A parameter line (single float) the way a classic BASIC Str$ prints a
// Single: up to 7 significant digits, no leading zero between -1 and 1,
// exponent form ("1E+08", "1.234568E-05") from 1E+07 up and for small values
// that would need more than seven decimal places (1E-07 is " .0000001 "),
// `decimalPoint` as separator; a blank before non-negative values and a
// trailing blank. NaN is written as 0, infinities as the largest float.
QString formatParameter(float value, QStringView decimalPoint);
void appendParameter(QString& out, float value, QStringView decimalPoint);

// The leading decimal integer of a line (blanks around it ignored); 0 when
// the line holds none. Saturates far outside any field range.
qint64 parseLeadingInteger(QStringView line);
// A parameter line read back: leading blanks ignored, "." or "," as the
// separator, an optional exponent. false (and 0) when there is no number;
// values beyond the float range are clamped to it.
bool parseParameter(QStringView line, float* value);
// The parameter text as the algorithm's saved tables keep it: trimmed, with
// "," turned into ".".
QString normalizedParameterText(QStringView line);

// "Страница SCADA  - " + page + kind + number.
QString elementLabel(int pageNumber, const QString& kind, int number);

// The part of a path or reference after its last "\" or "/"; empty when
// nothing usable is left (also for "." and "..").
QString fileNameOf(QStringView pathOrReference);
// Line 7 of the file: "\" + the netlist's file name, taken after the last
// "\" or "/" of the path; empty for "Пусто" and for a path without either.
QString netlistReference(const QString& netlistPath);
// A reference of the file ("\name") as a path in `folder`; only the file name
// of the reference is used, so a stored reference never leaves the folder.
// An unusable reference gives `folder` itself followed by "/".
QString pathInFolder(const QString& folder, QStringView reference);
// Control picture names as stored: from the last "\" or "/" on, that
// separator written as "\"; unchanged when there is none.
QString shortenedPictureName(const QString& name);

} // namespace ostrel::project
