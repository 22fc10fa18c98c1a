#include "scada/output_list.h"

#include "scada/scada_pages.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "scheme/block_types.h"

#include <algorithm>
#include <cstdlib>

namespace ostrel {

int blockFieldNumber(const QString& text)
{
    return std::abs(ScadaPages::typedNumber(text));
}

int boundBlockType(const BlockTable& blocks, int block)
{
    if (block < 0 || block >= BlockTable::kBlocks)
        return 0;
    return blocks.block_type[size_t(block)];
}

QStringList outputEntries(const BlockCatalog& catalog, int type)
{
    const int d = catalog.outEndPin(type) - catalog.firstOutPin(type);
    const int count = (type == kAnalogInput || type == kDiscreteInput) ? d + 1 : std::abs(d - 1) + 1;
    QStringList entries;
    for (int k = 0; k < std::min(count, kOutputListCap); ++k)
        entries << QString::number(catalog.outputLabel(type, k));
    return entries;
}

QStringList setpointEntries(const BlockCatalog& catalog, int type)
{
    QStringList entries;
    const int last = std::max(0, catalog.setpointMax(type)) + 1;
    for (int k = 1; k <= last; ++k)
        entries << QString::number(k);
    if (type == kCode)
        for (int k = 1; k <= 3; ++k)
            entries << QStringLiteral("PAR%1(ADR_SP)").arg(k);
    if (type == kAlgorithm)
        for (int k = 0; k < 32; ++k)
            entries << QStringLiteral(" SP(INP%1)").arg(k);
    return entries;
}

QStringList bindingEntries(const BlockTable& blocks, const BlockCatalog& catalog, const QString& blockField,
                           bool setpoints)
{
    const int type = boundBlockType(blocks, blockFieldNumber(blockField));
    return setpoints ? setpointEntries(catalog, type) : outputEntries(catalog, type);
}

} // namespace ostrel
