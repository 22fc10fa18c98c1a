#pragma once
// Text fields whose texts go into the project file (code page 1251): a
// character the code page cannot hold (Ω, ✓, an emoji) is refused where it
// is typed or pasted, with "Символ «Ω» нельзя сохранить в файле проекта",
// instead of being saved as a placeholder for good.
class QLineEdit;
class QWidget;

namespace ostrel {

class Interaction;

// Guards one field. A field with a validator of its own (numbers) is left.
void guardProjectText(QLineEdit* field, Interaction& ui);
// Guards every text field of a window that is not guarded yet.
void guardProjectTexts(QWidget* window, Interaction& ui);

} // namespace ostrel
