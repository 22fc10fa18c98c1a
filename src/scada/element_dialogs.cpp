#include "scada/element_dialogs.h"

#include <QWidget>

namespace ostrel {

ElementDialogs::ElementDialogs(ElementDialogContext context, QWidget* owner)
    : ctx_(context), owner_(owner)
{
}

ElementDialogs::~ElementDialogs() = default;

bool ElementDialogs::open(const ElementRef&)
{
    return false;
}

QWidget* ElementDialogs::dialog(ObjectKind) const
{
    return nullptr;
}

QList<QWidget*> ElementDialogs::windows() const
{
    return {};
}

} // namespace ostrel
