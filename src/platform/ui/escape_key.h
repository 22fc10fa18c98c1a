#pragma once
// Esc in a window does what its "Отмена" button does (secondary windows are
// plain widgets, which have no Escape handling of their own).
class QAbstractButton;
class QWidget;

namespace ostrel {

void cancelOnEscape(QWidget* window, QAbstractButton* cancel);

} // namespace ostrel
