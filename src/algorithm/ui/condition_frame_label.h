#pragma once
// The frame text of the condition line ("   if ... then"). Its first word is
// drawn where the text puts it, its last word at a given place beside the
// right operand (further right while the setpoint value box is shown), so
// that "then" is never hidden under a list whatever the font's blank width.
// The text itself stays the window's caption.
#include <QLabel>

namespace ostrel {

class ConditionFrameLabel : public QLabel {
public:
    using QLabel::QLabel;

    // Left edge of the last word: `narrow` beside the right operand list,
    // `wide` beside the setpoint value box.
    void setLastWordPlaces(int narrow, int wide);
    void setWide(bool wide);
    // Where the last word is drawn, in this label's coordinates.
    QRect lastWordRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int narrow_ = 0;
    int wide_ = 0;
    bool isWide_ = false;
};

} // namespace ostrel
