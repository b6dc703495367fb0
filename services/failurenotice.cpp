#include "services/failurenotice.h"

#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"

namespace zarv {

QString FailureNotice(const QString& where, const Failure& failure, const QString& debugMarker)
{
    if (failure.refused)
        return failure.description;
    const QString debug = debugMarker.isEmpty() ? QString() : QStringLiteral(" Debug (") + debugMarker + u')';
    const QString text = QStringLiteral("Unexpected error #") + vb::Str(double(failure.number)) + debug +
                         QStringLiteral(" occurred: ") + failure.description;
    return where.isEmpty() ? text : where + QLatin1Char(' ') + text;
}

QString FailureDetail(const Failure& failure)
{
    if (failure.refused)
        return failure.description;
    return QStringLiteral("Err#") + vb::Str(double(failure.number)) + QStringLiteral(" Description: ") +
           failure.description;
}

void ShowFailure(const QString& where, const QString& title)
{
    const Failure failure = currentFailure();
    ui::ui().setBusy(false);
    ui::ui().msgBox(FailureNotice(where, failure), ui::Buttons::OK, ui::Icon::Critical, title);
}

} // namespace zarv
