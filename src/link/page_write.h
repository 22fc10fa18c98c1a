#pragma once
// Page writes from the page model: the preparer the transfer engine runs
// before the sequence of each page. It paints the page's static layer
// offscreen, encodes it with the element tables into the transfer state, and
// talks to the user through the interaction seam: an error ("Не хватает
// памяти!", the picture size message) is shown with its title and nothing is
// sent; each warning (a background picture that cannot be loaded) is shown
// once and the page is written with its fill colour.
#include "link/transfer_engine.h"
#include <functional>

namespace ostrel {

class Interaction;
class PagePainter;
struct ScadaPages;
struct TransferState;

// `versionCode` is read at every page; `projectFolder` gives the folder in
// which pictures named by their file name only are looked for.
TransferEngine::PagePreparer makePagePreparer(PagePainter& painter, const ScadaPages& pages,
                                              const uint8_t& versionCode,
                                              std::function<QString()> projectFolder, TransferState& ts,
                                              Interaction& ui);

} // namespace ostrel
