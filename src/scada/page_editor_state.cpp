#include "scada/page_editor_state.h"

namespace ostrel {

bool PageEditorState::isSelected(const ElementRef& ref) const
{
    if (ref.page != frame.page || ref.number < 1 || ref.number >= ScadaPages::kTextSlots)
        return false;
    return kindInfo(ref.kind).framed() && selected[size_t(ref.kind)][size_t(ref.number)] != 0;
}

void PageEditorState::clearSelection()
{
    for (auto& row : selected)
        row.fill(0);
}

} // namespace ostrel
