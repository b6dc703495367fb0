#pragma once
// What a reader had to decide about a file another program wrote (the
// character set, the separator and decimal mark, lines it passed over, values
// it would cut, counts that differ, repeats), as data: the intake screen shows
// it before anything of the file is stored, and a run without a window writes
// it out.
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv::fs {

struct IntakeFinding {
    enum class Kind { Encoding, Separator, DecimalMark, SkippedLine, ExtraFields, Cut, Count, Repeat, LeftOut };
    Kind kind = Kind::Encoding;
    int line = 0;        // 1-based line (a workbook's row); 0 for the file as a whole
    QString asRead;      // the value as the file gives it
    QString asStored;    // the value as it will be stored
    QString text;        // what was decided, in the clerk's words
};

// The heading under which the screen and the batch list a kind of finding.
inline QString intakeKindName(IntakeFinding::Kind kind)
{
    using K = IntakeFinding::Kind;
    switch (kind) {
    case K::Encoding: return QStringLiteral("Character set");
    case K::Separator: return QStringLiteral("Field separator");
    case K::DecimalMark: return QStringLiteral("Decimal mark");
    case K::SkippedLine: return QStringLiteral("Line passed over");
    case K::ExtraFields: return QStringLiteral("Extra fields");
    case K::Cut: return QStringLiteral("Value cut");
    case K::Count: return QStringLiteral("Stated count");
    case K::Repeat: return QStringLiteral("Repeat");
    case K::LeftOut: return QStringLiteral("Tax office leaves out");
    }
    return {};
}

// One finding as one line of text; lineName is what the file's lines are
// called ("line", a workbook's "row").
inline QString intakeLine(const IntakeFinding& f, const QString& lineName = QStringLiteral("line"))
{
    QString out = intakeKindName(f.kind);
    if (f.line > 0)
        out += QStringLiteral(", %1 %2").arg(lineName).arg(f.line);
    out += QStringLiteral(": ") + f.text;
    if (!f.asRead.isNull() || !f.asStored.isNull())
        out += QStringLiteral(" (as read \"%1\", stored \"%2\")").arg(f.asRead, f.asStored);
    return out;
}

// A file's findings, and how the program writes it back.
struct Intake {
    QString path;          // as shown to the clerk
    QString writtenBack;   // the form a save gives the file
    QString lineName = QStringLiteral("line");   // a workbook's lines are its rows
    std::vector<IntakeFinding> findings;

    bool needsReview() const { return !findings.empty(); }
    void add(IntakeFinding f) { findings.push_back(std::move(f)); }
    QStringList lines() const
    {
        QStringList out;
        for (const IntakeFinding& f : findings)
            out << intakeLine(f, lineName);
        return out;
    }
};

// The tax office's form, in which the program writes every such file.
inline QString taxOfficeForm()
{
    return QStringLiteral("Written back as the tax office expects: fields separated by commas, decimal points, "
                          "Windows-1252, every line ended by CR LF.");
}

} // namespace zarv::fs
