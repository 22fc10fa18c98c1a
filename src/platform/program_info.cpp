#include "platform/program_info.h"

#include <cstdio>

#ifndef OSTREL_VERSION
#error "OSTREL_VERSION comes from the project's version in CMake"
#endif

namespace ostrel {

QString programVersion()
{
    return QStringLiteral(OSTREL_VERSION);
}

InfoRequest infoRequest(const QString& argument)
{
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
        return InfoRequest::Help;
    if (argument == QLatin1String("--version"))
        return InfoRequest::Version;
    return InfoRequest::None;
}

int answerInfoRequest(InfoRequest request, const QString& program, const QString& usage)
{
    const QString text = request == InfoRequest::Version ? program + u' ' + programVersion() + u'\n' : usage;
    const QByteArray bytes = text.toLocal8Bit();
    // A closed or full standard output (`ostrel-cli --help > /dev/full`) is a failure.
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace ostrel
