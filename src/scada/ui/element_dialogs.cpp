#include "scada/ui/element_dialogs.h"

#include "scada/ui/control_dialog.h"
#include "scada/ui/figura_dialog.h"
#include "scada/ui/go_block_dialog.h"
#include "scada/ui/grafik_dialog.h"
#include "scada/ui/level_dialog.h"
#include "scada/ui/menu_dialog.h"
#include "scada/ui/parametr_dialog.h"
#include "scada/ui/signal_dialog.h"
#include "scada/ui/text_label_dialog.h"
#include "scada/ui/text_signal_dialog.h"
#include "scada/ui/vent_dialog.h"

#include <QWidget>

namespace ostrel {

ElementDialogs::ElementDialogs(ElementDialogContext context, QWidget* owner)
    : ctx_(context), owner_(owner)
{
}

ElementDialogs::~ElementDialogs() = default;

ElementDialog* ElementDialogs::ensure(ObjectKind kind)
{
    auto& slot = dialogs_[size_t(kind)];
    if (!slot) {
        switch (kindInfo(kind).dialog) {
        case KindDialog::Parametr: slot = std::make_unique<ParametrDialog>(ctx_, owner_); break;
        case KindDialog::Signal: slot = std::make_unique<SignalDialog>(ctx_, owner_); break;
        case KindDialog::TextSignal: slot = std::make_unique<TextSignalDialog>(ctx_, owner_); break;
        case KindDialog::Level: slot = std::make_unique<LevelDialog>(ctx_, owner_); break;
        case KindDialog::Vent: slot = std::make_unique<VentDialog>(ctx_, owner_); break;
        case KindDialog::Figura: slot = std::make_unique<FiguraDialog>(ctx_, owner_); break;
        case KindDialog::TextLabel: slot = std::make_unique<TextLabelDialog>(ctx_, owner_); break;
        case KindDialog::Grafik: slot = std::make_unique<GrafikDialog>(ctx_, owner_); break;
        case KindDialog::Control: slot = std::make_unique<ControlDialog>(ctx_, owner_); break;
        case KindDialog::Menu: slot = std::make_unique<MenuDialog>(ctx_, owner_); break;
        case KindDialog::GoBlock: slot = std::make_unique<GoBlockDialog>(ctx_, owner_); break;
        case KindDialog::None: return nullptr;
        }
        connect(slot.get(), &ElementDialog::pageChanged, this, &ElementDialogs::pageChanged);
    }
    return slot.get();
}

bool ElementDialogs::open(const ElementRef& ref)
{
    if (!isValidRef(ref) || isOpen())
        return false;
    ElementDialog* d = ensure(ref.kind);
    if (!d)
        return false;
    d->openFor(ref);
    return true;
}

bool ElementDialogs::isOpen() const
{
    for (const auto& d : dialogs_)
        if (d && d->isOpen())
            return true;
    return false;
}

QWidget* ElementDialogs::dialog(ObjectKind kind) const
{
    return dialogs_[size_t(kind)].get();
}

QList<QWidget*> ElementDialogs::windows() const
{
    QList<QWidget*> list;
    for (const auto& d : dialogs_)
        if (d) {
            list.append(d.get());
            list += d->extraWindows();
        }
    return list;
}

} // namespace ostrel
