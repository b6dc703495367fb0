#pragma once
// How a failure reaches the clerk: one critical message for the exception in
// flight, with the place it stopped, its number and its description, or the
// plain words of a refusal.
#include "platform/text/failure.h"

#include <QString>

#include <exception>
#include <utility>

namespace zarv {

// "<where> Unexpected error # <n> occurred: <description>" ("Unexpected error
// ..." when where is empty), with " Debug (<marker>)" before "occurred" when a
// marker of the step is given; a refusal's own message, with no number.
QString FailureNotice(const QString& where, const Failure& failure, const QString& debugMarker = {});

// "Err# <n> Description: <description>", the form a failure takes inside a
// message of its own; a refusal's own message.
QString FailureDetail(const Failure& failure);

// Call inside a catch block: the pointer goes back to normal and the clerk is
// shown FailureNotice for the exception in flight as a critical message.
void ShowFailure(const QString& where, const QString& title = QStringLiteral("ZARV Data"));

// Runs a screen's handler; a failure inside it is shown through ShowFailure
// under `where` and the handler's caller goes on. Returns whether the handler
// ran to its end, so a caller that must put something back can do so:
//
//     if (!Guarded(u"Detail.Command_Save_Click"_s, [&] { save(); }))
//         restoreOldOrder();
template <class Handler>
bool Guarded(const QString& where, Handler&& handler, const QString& title = QStringLiteral("ZARV Data"))
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception&) {
        ShowFailure(where, title);
        return false;
    }
}

} // namespace zarv
