#include "link/page_write.h"
#include "wire/page_encoder.h"
#include "platform/interaction.h"

namespace ostrel {

TransferEngine::PagePreparer makePagePreparer(PagePainter& painter, const ScadaPages& pages,
                                              const uint8_t& versionCode,
                                              std::function<QString()> projectFolder, TransferState& ts,
                                              Interaction& ui)
{
    return [&painter, &pages, &versionCode, folder = std::move(projectFolder), &ts, &ui](int page) {
        const PagePrepareResult r = preparePage(painter, pages, page, versionCode, folder ? folder() : QString(), ts);
        for (const QString& warning : r.warnings)
            ui.message(warning, QString(), MessageIcon::Warning);
        if (!r.ok) {
            ui.message(r.error.text, r.error.title, r.error.icon);
            return false;
        }
        return true;
    };
}

} // namespace ostrel
