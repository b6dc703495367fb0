#pragma once
// The verification run behind the start screen's Verify button: check the chosen
// workbook, remember the choice, load it, let the clerk work through the
// verification list, keep a checked backup copy, write the workbook anew, empty
// VERIFY, show the return instructions and end.
#include <QString>

namespace zarv {

class ZarvPayment;

void VerificationRun(ZarvPayment& screen);

// The workbook's backup name: a name ending in ".zarv" (any letter case) gets
// "bak" in place of "zarv", any other name ".bak" appended.
QString VerificationBackupName(const QString& filePath);

} // namespace zarv
