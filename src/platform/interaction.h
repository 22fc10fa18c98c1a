#pragma once
// The one seam through which the program talks to the user outside its own
// windows: message boxes, yes/no questions and the common choosers. The desktop
// program installs QtInteraction; tests and the CLI install a recording one.
#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

namespace ostrel {

enum class MessageIcon { None, Information, Warning, Error, Question };

// The answer to a question that can also be put off ("Да", "Нет", "Отмена").
enum class Answer { Yes, No, Cancel };

struct Message {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

// A message as one line of text: "title: text", or the text; a warning
// (warning icon) with "warning: " in front (what a script looks for).
QString messageLine(const Message& m);

class Interaction {
public:
    virtual ~Interaction() = default;
    // A message box with an Ok button.
    virtual void message(const QString& text, const QString& title = {},
                         MessageIcon icon = MessageIcon::None) = 0;
    // A yes/no question; true for yes.
    virtual bool question(const QString& text, const QString& title = {}) = 0;
    // A question with "Да", "Нет" and "Отмена"; closing it is "Отмена".
    virtual Answer askYesNoCancel(const QString& text, const QString& title = {}) = 0;
    // Open-file dialog; filter in the "Description|*.ext" form. Empty = cancelled.
    virtual QString openFile(const QString& filter, const QString& startDir = {}) = 0;
    // Save-file dialog proposing a file name. Empty = cancelled.
    virtual QString saveFile(const QString& filter, const QString& proposedName = {}) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
};

// What a font chooser hands back: a face, size, bold or italic the user left
// as the chooser showed it (`shown`, which may be another face when the
// element's face is not installed) keeps the element's own (`initial`), so
// confirming the chooser untouched changes nothing.
QFont keepUntouchedFont(const QFont& initial, const QFont& shown, const QFont& chosen);

// Turns a "Description|*.ext|Other|*.x" filter into Qt's "Description (*.ext);;Other (*.x)".
QString qtFilter(const QString& filter);

} // namespace ostrel
