#pragma once
// The names of every file the program writes for the clerk or the tax office:
// exports, report PDFs, backups, the copy of a file as received (and the older
// copies kept beside it), the verified file and the errors files. Each name is
// built here from values that may come from a file (an agency code, a workbook's
// name), with every character a file name cannot hold on the systems the files
// travel to (Linux, Windows, a USB stick) replaced by "_".
#include <QDateTime>
#include <QString>

namespace zarv::fs {

// name with "/", "\", ":", "*", "?", "\"", "<", ">", "|" and control
// characters replaced by "_", and trailing blanks and dots dropped (Windows
// drops them itself); "_" when nothing usable is left ("", ".", "..").
QString safeFileName(const QString& name);

// "Payments <agency>.csv", the export of one agency's payments.
QString paymentsExportName(const QString& agency);
// "<what>.pdf": a report saved as a PDF, named for what it holds
// ("Payments 0104", "Duplicate folios", "About ZARV", "MortNo1 errors").
QString reportPdfName(const QString& what);

// The backup kept beside a payment file before it is replaced: "...csv" (any
// letter case) becomes "...bak", any other name gets ".BAK" appended.
QString paymentBackupPath(const QString& filePath);
// The backup the workbook writer keeps when it replaces a workbook itself:
// "MortNo1.xlsx" (any letter case) becomes "MortNo1.bak", any other name gets
// ".bak" appended.
QString workbookBackupPath(const QString& filePath);
// The backup the verification run keeps of its file before writing it back:
// ".zarv" (any letter case) becomes ".bak", any other name gets ".bak"
// appended ("MortNo1.xlsx" -> "MortNo1.xlsx.bak").
QString verificationBackupPath(const QString& filePath);

// The copy of a data file as the tax office sent it, kept beside it:
// "Zarvdata.csv" -> "Zarvdata.received.csv", "MortNo1.xlsx" -> "MortNo1.received.xlsx".
QString receivedCopyPath(const QString& filePath);
// A file set aside under a dated name beside it, when a newer one takes its
// place: "Zarvdata.received.csv" -> "Zarvdata.received.2026-12-09-235800.csv",
// "Zarv.mdb" with label "damaged" -> "Zarv.damaged.2026-12-09-235800.mdb".
// label: a word said before the date when the name does not say it yet ("" for none).
QString datedPath(const QString& filePath, const QDateTime& when, const QString& label = {});

// The verified file the receiving screen writes: "ZARVP040_VERIFIED.zarv".
QString verifiedFileName();
// An earlier verified file kept when a new one is written over it, named for the
// workbook it came from and when it was written:
// "ZARVP040_VERIFIED from MortNo1 2026-12-09 235800.zarv", or
// "ZARVP040_VERIFIED before 2026-12-09 235800.zarv" when its workbook is unknown.
QString keptVerifiedFileName(const QString& workbook, const QDateTime& when);
// Beside a workbook checked by zarvreceive --batch: "<book>_VERIFIED.zarv" and "<book>_ERRORS.txt".
QString batchVerifiedPath(const QString& workbook);
QString batchErrorsPath(const QString& workbook);

// True for a name the program gives its own copies and backups: a received copy
// ("*.received.*", dated ones included), a backup ("*.bak"), a file set aside
// under a dated name. Such files are never offered as files to work on.
bool isCopyOrBackup(const QString& fileName);
// True for a name that may be a file the clerk works on: neither a copy or
// backup nor one of the other files the program writes or imports beside the
// data file (the agency exports "Payments *.csv", "Export.csv", "Verify.csv",
// the errors and verified files of the receiving side).
bool mayBeDataFile(const QString& fileName);

} // namespace zarv::fs
