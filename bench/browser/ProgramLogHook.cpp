#include "ProgramLogHook.h"

#include <cstring>
#include <optional>

namespace {

ProgramLogHook *activeHook = nullptr;

std::optional<ExportMoments::Moment> momentOfLine(const QString &line)
{
    using Moment = ExportMoments::Moment;
    if (line == QLatin1String("Page finished loading"))
        return Moment::PageLoaded;
    if (line.startsWith(QLatin1String("externalURL is ")))
        return Moment::LinkIntercepted;
    if (line.startsWith(QLatin1String("Completion handler called with ")))
        return Moment::BytesArrived;
    // Written by the export's worker thread right after the file is in place.
    if (line.startsWith(QLatin1String("Data written to ")))
        return Moment::FileWritten;
    return std::nullopt;
}

} // namespace

ProgramLogHook::ProgramLogHook(ExportMoments &moments)
    : mMoments(moments)
{
    activeHook = this;
    mPrevious = qInstallMessageHandler(&ProgramLogHook::handler);
}

ProgramLogHook::~ProgramLogHook()
{
    qInstallMessageHandler(mPrevious);
    activeHook = nullptr;
}

void ProgramLogHook::handler(QtMsgType type, const QMessageLogContext &context,
                             const QString &message)
{
    if (!context.category || std::strcmp(context.category, "brevant") != 0) {
        if (activeHook->mPrevious)
            activeHook->mPrevious(type, context, message);
        return;
    }
    if (const std::optional<ExportMoments::Moment> moment = momentOfLine(message))
        activeHook->mMoments.mark(*moment);
}
