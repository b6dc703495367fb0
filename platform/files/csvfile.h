#pragma once
// Comma-separated files that other programs may have written (a spreadsheet
// program, a hand edit): the one reader of the payment file and Verify.csv.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv::fs {

// Reads the whole file when opened and decides how to read it:
// - Character set: UTF-8 when the file begins with the UTF-8 byte-order mark,
//   or when it is valid UTF-8 and holds at least one character beyond ASCII
//   (a Windows-1252 file practically never is); otherwise Windows-1252.
// - Lines: CR LF, lone CR and lone LF all end a line. A run of Ctrl-Z (the
//   end-of-file mark of old tools) that ends the file's last line is no part
//   of it.
// - Fields, split by csv::split. The file is refused (refusal() says why and
//   names the lines) when its lines of fields are separated by semicolons or
//   tabs rather than commas (more lines hold one of them and no comma than
//   hold a comma), when a quote that opens a field never closes, or when it is
//   read as UTF-8 and holds characters Windows-1252, the character set of
//   every file the program writes, cannot hold.
class CsvReader {
public:
    enum class Encoding { Windows1252, Utf8, Utf8WithMark };
    enum class Fault { None, Separator, UnclosedQuote, Unwritable };
    // Which lines hold fields: every line, or those the caller hands over as
    // it reads them (fieldsSeparatedByCommas, noteUnclosedQuote), in a file
    // whose other lines are read whole.
    enum class Split { EveryLine, ByCaller };

    // False (with errorString()) when the file cannot be opened or read.
    bool open(const QString& path, Split split = Split::EveryLine);
    // The same over bytes already read.
    void open(QByteArray bytes, Split split = Split::EveryLine);

    Encoding encoding() const { return encoding_; }
    // What stands in the way of reading the file, and a message for the clerk
    // that names the lines and what to do.
    Fault fault() const { return fault_; }
    QString refusal() const { return refusal_; }

    // The next line, decoded; false at the end of the file.
    bool readLine(QString& line);
    // 1-based number of the line last read (0 before the first).
    int lineNumber() const { return int(next_); }
    int lineCount() const { return int(lines_.size()); }
    QString errorString() const { return error_; }
    // Lets go of the file's text.
    void close();
    // The line last read holds fields. False, with the file refused naming
    // the line, when they are separated by semicolons or tabs: it holds one
    // of them and no comma outside quotes.
    bool fieldsSeparatedByCommas(const QString& line);
    // The line last read is split into fields and a quote that opens one of
    // them never closes: the file is refused, naming it with the others.
    void noteUnclosedQuote(const QString& line);

private:
    struct Line {
        qsizetype begin, end;
    };
    // The lines found at fault, up to a number of them.
    struct Named {
        QStringList lines;
        int count = 0;
        void add(const QString& text);
        QString text() const;
    };
    QString decode(const Line& line) const;
    void examine(Split split);
    void judge();

    QByteArray bytes_;
    std::vector<Line> lines_;
    size_t next_ = 0;
    Encoding encoding_ = Encoding::Windows1252;
    Fault fault_ = Fault::None;
    QString separator_;        // the refusal of a separator other than the comma
    Named unclosed_, unwritable_;
    QString refusal_;
    QString error_;
};

} // namespace zarv::fs
