#include "scheme/block_catalog.h"

namespace ostrel {

BlockCatalog::BlockCatalog() {}

const BlockTypeInfo& BlockCatalog::info(int type) const
{
    if (type < 1 || type > kTypes)
        return types_[0];
    return types_[type];
}

int BlockCatalog::output_count(int type) const
{
    const BlockTypeInfo& i = info(type);
    return i.out_end_pin - i.first_out_pin + ((type == 1 || type == 3) ? 1 : 0);
}

int BlockCatalog::output_label(int type, int j) const
{
    const BlockTypeInfo& i = info(type);
    return (j >= 0 && j < int(i.output_labels.size())) ? i.output_labels[j] : 0;
}

QString BlockCatalog::rowCaption(int type, int row, int) const
{
    const BlockTypeInfo& i = info(type);
    return (row >= 0 && row < int(i.rows.size())) ? i.rows[row].caption : QString();
}

int BlockCatalog::typeForCode(const QString& code3) const
{
    for (int t = 1; t <= kTypes; ++t)
        if (types_[t].code == code3)
            return t;
    return 0;
}

void BlockCatalog::applyVersion(int version_code)
{
    types_[5].text_count = version_code == 5 ? 48 : 0;
    types_[50].param_count = (version_code == 3 || version_code == 4 || version_code == 5) ? 1 : 0;
}

const QStringList& BlockCatalog::sensor_types()
{
    static const QStringList list;
    return list;
}

const QStringList& BlockCatalog::baud_list()
{
    static const QStringList list{QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                                  QStringLiteral("57600"), QStringLiteral("115200")};
    return list;
}

} // namespace ostrel
