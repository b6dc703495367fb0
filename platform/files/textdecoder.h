#pragma once
// Bytes another program wrote, as lines of text: which character set they are
// in, and where each line begins and ends.
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace zarv::fs {

enum class TextEncoding {
    Windows1252,    // the program's own form, and what holds no other reading
    Utf8,           // valid UTF-8 without a mark, holding letters Windows-1252 has
    Utf8WithMark,
    MacRoman,       // Excel's "CSV (Macintosh)"
    Utf16,          // with its byte-order mark, either byte order (Excel's "Unicode Text")
};

// The character set as the clerk knows it ("UTF-8", "Mac Roman" ...).
QString encodingName(TextEncoding encoding);

// The text in chunks of whole lines, so that a reader can let go of the
// lines it has passed.
struct DecodedText {
    struct Span {
        qsizetype begin, end;   // within the line's chunk
    };
    struct Chunk {
        QString text;
        size_t firstLine;
        std::vector<Span> lines;
    };
    TextEncoding encoding = TextEncoding::Windows1252;
    std::vector<Chunk> chunks;

    size_t lineCount() const { return chunks.empty() ? 0 : chunks.back().firstLine + chunks.back().lines.size(); }
    // A line not yet released.
    QStringView line(size_t n) const;
    // Lets go of the chunks that hold only lines before line n.
    void releaseBefore(size_t n);

private:
    mutable size_t chunkAt_ = 0;   // the chunk of the line last asked for
    size_t released_ = 0;          // the chunks before it are let go of
};

// Decides the character set and splits the text into lines:
// - A byte-order mark decides: UTF-8 or UTF-16 (little or big end first).
// - Otherwise UTF-8 when the bytes are valid UTF-8 and read so into at least
//   one character beyond ASCII that Windows-1252 also holds (a Windows-1252
//   file practically never is; one that reads as UTF-8 only into characters
//   Windows-1252 lacks is Windows-1252 after all).
// - Otherwise Mac Roman when its reading gives letters that agree with the
//   case of the letters around them and Windows-1252's reading gives none
//   (Mac Roman has letters where Windows-1252 has typographic signs, and
//   capitals where it has small letters).
// - Otherwise Windows-1252.
// CR LF, lone CR and lone LF all end a line. A run of Ctrl-Z (the end-of-file
// mark of old tools) that ends the last line is no part of it.
DecodedText decodeText(const QByteArray& bytes);

// Mac Roman <-> Unicode, byte for byte; a character Mac Roman lacks is "?".
QString decodeMacRoman(QByteArrayView bytes);
QByteArray encodeMacRoman(QStringView text);

// A line of text as Windows-1252 would have read the same bytes: how the
// line looked before the character set was decided. Null for UTF-16, which
// Windows-1252 cannot read at all.
QString asWindows1252Reads(QStringView line, TextEncoding encoding);

} // namespace zarv::fs
