#pragma once
// The payment run behind the start screen's OK button: check the chosen file,
// remember the choice, load it, refuse duplicates and other years, let the clerk
// edit, write the file back (asking for another name while the save fails),
// show the return instructions and end.
#include <functional>

namespace zarv {

class ZarvPayment;

void PaymentRun(ZarvPayment& screen);

// The editing step of the run: the payment-group screen, unless a test puts
// something else in its place (an empty function restores the screen).
using PaymentEditing = std::function<void()>;
void setPaymentEditing(PaymentEditing editing);

} // namespace zarv
