#pragma once
// Comma-separated files that other programs may have written (a spreadsheet
// program, a hand edit): the one reader of the payment file and Verify.csv.
#include "platform/files/intake.h"
#include "platform/files/textdecoder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv::fs {

// Reads the whole file when opened: decodeText (textdecoder.h) gives its
// character set and lines, then the reader judges them (and lets go of the
// text of the lines it has handed out):
// - Separator: the comma, the semicolon or the tab, whichever most lines use
//   most often outside quotes (the comma on a tie). A line of fields that holds
//   none of it outside quotes but another separator disagrees with the file
//   and the file is refused naming it. Lines of a file separated otherwise are
//   handed out in the comma form (fields as csv::split reads them back).
// - Quotes: a quote that opens a field and never closes refuses the file,
//   naming its lines.
// - Characters: a file read as anything else than Windows-1252 that holds
//   characters Windows-1252, the character set of every file the program
//   writes, cannot hold is refused naming the lines.
// What it decided (a character set or a separator other than the program's
// own) is kept as findings() for the intake screen.
class CsvReader {
public:
    using Encoding = TextEncoding;
    enum class Fault { None, Separator, UnclosedQuote, Unwritable };
    // Which lines hold fields: every line, or those the caller says hold them
    // as it reads them (fieldsAgree, quotesClose), in a file whose other lines
    // are read whole.
    enum class Split { EveryLine, ByCaller };

    // False (with errorString()) when the file cannot be opened or read.
    bool open(const QString& path, Split split = Split::EveryLine);
    // The same over bytes already read.
    void open(const QByteArray& bytes, Split split = Split::EveryLine);

    Encoding encoding() const { return text_.encoding; }
    // ',', ';' or '\t'.
    QChar separator() const { return separator_; }
    // What stands in the way of reading the file, and a message for the clerk
    // that names the lines and what to do.
    Fault fault() const { return fault_; }
    QString refusal() const { return refusal_; }
    // What the reader decided about the file.
    const std::vector<IntakeFinding>& findings() const { return findings_; }

    // The next line, in the comma form; false at the end of the file.
    bool readLine(QString& line);
    // 1-based number of the line last read (0 before the first).
    int lineNumber() const { return int(next_); }
    int lineCount() const { return int(text_.lineCount()); }
    QString errorString() const { return error_; }
    // Lets go of the file's text.
    void close();
    // The line last read holds fields. False, with the file refused naming
    // the line, when they are separated otherwise than the file's.
    bool fieldsAgree();
    // The line last read holds fields. False when a quote that opens one of
    // them never closes: the file is refused, naming it with the others.
    bool quotesClose();

private:
    // The lines found at fault, up to a number of them.
    struct Named {
        QStringList lines;
        int count = 0;
        void add(const QString& text);
        QString text() const;
    };
    void examine(Split split);
    void judge();
    bool agrees(size_t n) const;
    bool unclosed(size_t n) const;

    DecodedText text_;
    std::vector<unsigned char> votes_;   // each line's separator (kSeparators: none)
    size_t next_ = 0;
    QChar separator_ = QLatin1Char(',');
    Fault fault_ = Fault::None;
    QString disagreement_;
    Named unclosed_, unwritable_;
    std::vector<IntakeFinding> findings_;
    QString refusal_;
    QString error_;
};

// Splits a line into fields separated by sep as csv::split does by commas.
// Sets *unclosed when a quote that opens a field never closes.
QStringList splitFieldsBy(QStringView line, QChar sep, bool* unclosed = nullptr);

} // namespace zarv::fs
