#pragma once
// Small file and text procedures shared by every part of the program.
#include <QString>
#include <QStringView>

namespace zarv {

// True when the file exists and is not empty; never fails.
bool FileExists(const QString& filePath);

// The text trimmed of blanks, less its trailing (leading) run of ch.
// A ch that is not exactly one character never matches.
QString StripTrailingChar(const QString& text, const QString& ch);
QString StripLeadingChar(const QString& text, const QString& ch);

struct FileAttributeFlags {
    bool Found = false;
    bool IsReadOnly = false;
    bool IsArchive = false;
    bool IsCompressed = false;
    int Attr = -1;
};
// Found only for the plain attribute words 0, 1, 32, 33, 2048, 2049, 2080, 2081;
// a missing, empty, hidden or otherwise flagged file is reported as not found.
FileAttributeFlags GetFileAttributeFlags(const QString& filePath);
// Before a data file is used: when its attributes say read-only, or cannot be
// read, the user is asked whether to go on anyway (Yes). True when the user goes
// on or there was nothing to ask. unknownTitle: the title of the question for
// attributes that cannot be read.
bool AskAboutFileAttributes(const QString& filePath, const QString& unknownTitle);

// Lays chars into the "#" places of the first maxLength characters of mask,
// copying its other characters; "#" places left over vanish.
QString PourIntoMask(QStringView mask, QStringView chars, qsizetype maxLength);

// The rightmost 18 characters of text laid into "###############.###".
QString FormatAmountMask(const QString& text);

// The copy of a data file as the tax office sent it, kept beside it:
// "Zarvdata.csv" -> "Zarvdata.received.csv", "MortNo1.xlsx" -> "MortNo1.received.xlsx".
QString ReceivedCopyPath(const QString& filePath);
// Before the data file is first replaced in a run: makes that copy where there
// is none. When the file differs both from the copy and from what the program
// last wrote to it (WrittenByProgram), it is a file the tax office sent anew:
// the older copy is kept under a dated name, the file becomes the copy, and
// *told says so. False (error set) when a copy cannot be made or kept, or when
// something that is not a file has the copy's name; a missing original needs
// no copy. The program's own earlier copies are never lost.
bool KeepReceivedCopy(const QString& filePath, QString* error = nullptr, QString* told = nullptr);
// Notes the bytes the program has just written to filePath, so that its next
// run knows them from a file that arrived since. Kept in Zarv.mdb; a note
// that cannot be kept only means the next run takes the file as new.
void WrittenByProgram(const QString& filePath);
// The same with the digest of those bytes, worked out as they were written
// (fs::LineWriter::digest), so that the file is not read again.
void WrittenByProgram(const QString& filePath, const QByteArray& digest);

} // namespace zarv
