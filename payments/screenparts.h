#pragma once
// Small pieces the payment screens share while they build their controls.
#include <QLatin1String>

namespace zarv {

// Gives a control the name its screen knows it by (tests find it so) and returns it.
template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// The longest folio a payment grid shows: 18 digits and the separators of the
// widest jurisdiction mask.
constexpr int kFolioDisplayChars = 24;

} // namespace zarv
