#include "platform/ui/project_text_guard.h"

#include "platform/interaction.h"
#include "platform/text_encoding.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

namespace ostrel {

namespace {

// Refuses an edit that would put such a character into the field; the
// message comes once the edit is over, not from inside the field's check.
class ProjectTextValidator : public QValidator {
public:
    ProjectTextValidator(QLineEdit* field, Interaction& ui) : QValidator(field), ui_(ui), accepted_(field->text())
    {
        // What the field holds once an edit or a setText went through; while
        // an edit is checked, the field already shows the edited text.
        connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { accepted_ = text; });
        field->installEventFilter(this);
    }

    // Only what the user types, pastes or drops is refused; the program's
    // own setText (an imported text) is checked too, and must pass.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::ContextMenu: // its "Вставить" runs inside this event
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: { // the X11 selection's middle-button paste
            const bool outer = userEdit_;
            userEdit_ = true;
            const bool done = QValidator::eventFilter(watched, event) || watched->event(event);
            userEdit_ = outer;
            return done;
        }
        default:
            return QValidator::eventFilter(watched, event);
        }
    }

    State validate(QString& input, int&) const override
    {
        // Only what the edit adds is refused: a text that came in with such
        // a character (an imported netlist) can still be edited.
        if (!userEdit_)
            return Acceptable;
        const QStringList before = nonCp1251Characters(accepted_);
        const QStringList after = nonCp1251Characters(input);
        if (after.size() <= before.size())
            return Acceptable;
        QString bad = after.first();
        for (qsizetype i = 0; i < after.size(); ++i)
            if (i >= before.size() || after[i] != before[i]) {
                bad = after[i];
                break;
            }
        if (!pending_) {
            pending_ = true;
            QPointer<const ProjectTextValidator> self(this);
            QTimer::singleShot(0, const_cast<ProjectTextValidator*>(this), [self, bad] {
                if (!self)
                    return;
                self->pending_ = false;
                self->ui_.message(nonCp1251Message(bad), QString(), MessageIcon::Warning);
            });
        }
        return Invalid;
    }

private:
    Interaction& ui_;
    QString accepted_;
    bool userEdit_ = false;
    mutable bool pending_ = false;
};

} // namespace

void guardProjectText(QLineEdit* field, Interaction& ui)
{
    if (field->validator())
        return;
    field->setValidator(new ProjectTextValidator(field, ui));
}

void guardProjectTexts(QWidget* window, Interaction& ui)
{
    for (QLineEdit* field : window->findChildren<QLineEdit*>())
        guardProjectText(field, ui);
}

} // namespace ostrel
