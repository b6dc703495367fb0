#pragma once
// The texts the verification list shows about exchanging its rows with
// Verify.csv: lines joined by CR LF, the last without a line end.
#include <QString>

namespace zarv::verifyhelp {

inline const QString kExportTitle = QStringLiteral("Export Information");
inline const QString kImportTitle = QStringLiteral("Import Information");

QString ExportHelpText();
QString ImportHelpText();

} // namespace zarv::verifyhelp
