#include "platform/qt_messages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace ostrel {

namespace {

void keepFatalOnly(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

void dropQtMessages()
{
    qInstallMessageHandler(keepFatalOnly);
}

} // namespace ostrel
