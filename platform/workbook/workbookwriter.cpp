#include "platform/workbook/workbookwriter.h"

#include "platform/workbook/celltext.h"

#include "platform/files/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <vector>
#include <xlsxwriter.h>

namespace zarv::xl {

namespace {

constexpr uint8_t kTextFormatIndex = 49;   // the built-in number format "@"
constexpr double kHeadingFontSize = 8;
constexpr double kMaxColumnWidth = 255;

QString libraryError(lxw_error code)
{
    QString text = QString::fromUtf8(lxw_strerror(code));
    while (text.endsWith(u'.'))
        text.chop(1);   // it ends the sentence it goes into
    return text;
}

QString rangeText(const CellRange& r)
{
    const QString first = detail::columnLetters(r.firstColumn) + QString::number(r.firstRow);
    if (r.firstRow == r.lastRow && r.firstColumn == r.lastColumn)
        return first;
    return first + u':' + detail::columnLetters(r.lastColumn) + QString::number(r.lastRow);
}

} // namespace

struct WorkbookWriter::Book {
    struct Sheet {
        QString name;
        lxw_worksheet* worksheet = nullptr;
        int lastRow = 0;               // highest row written so far
        QStringList ignoredRanges;     // "number stored as text" switched off here
    };

    QString target;
    std::unique_ptr<fs::SafeSave> file;   // the library writes into it by name
    lxw_workbook* workbook = nullptr;
    lxw_format* text = nullptr;
    lxw_format* heading = nullptr;
    std::vector<Sheet> sheets;

    Sheet& current() { return sheets.back(); }

    // Writes whatever the library holds to the temporary file and frees it;
    // the library offers no other way to let go of its temporary files.
    lxw_error closeLibrary()
    {
        lxw_workbook* book = workbook;
        workbook = nullptr;
        return book ? workbook_close(book) : LXW_NO_ERROR;
    }

    ~Book() { closeLibrary(); }   // before the file it writes is dropped
};

WorkbookWriter::WorkbookWriter() = default;
WorkbookWriter::~WorkbookWriter() = default;

bool WorkbookWriter::isActive() const
{
    return book_ != nullptr;
}

int WorkbookWriter::sheetCount() const
{
    return book_ ? int(book_->sheets.size()) : 0;
}

void WorkbookWriter::discard()
{
    book_.reset();
}

bool WorkbookWriter::fail(const QString& why)
{
    const QString target = book_ ? book_->target : QString();
    // The cause comes first: it is what the clerk can act on.
    QString cause = why;
    if (!cause.isEmpty())
        cause[0] = cause[0].toUpper();
    error_ = QStringLiteral("%1. The workbook \"%2\" could not be written.").arg(cause, QDir::toNativeSeparators(target));
    discard();
    return false;
}

bool WorkbookWriter::ready(bool needSheet)
{
    if (!book_) {
        if (error_.isEmpty())
            error_ = QStringLiteral("No workbook is being written.");
        return false;
    }
    if (needSheet && book_->sheets.empty())
        return fail(QStringLiteral("no worksheet has been added"));
    return true;
}

bool WorkbookWriter::create(const QString& path)
{
    discard();
    error_.clear();
    book_ = std::make_unique<Book>();
    book_->target = QFileInfo(path).absoluteFilePath();

    book_->file = std::make_unique<fs::SafeSave>(book_->target);
    const QString tempPath = book_->file->open() ? book_->file->writerPath() : QString();
    if (tempPath.isEmpty())
        return fail(book_->file->reason());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;   // sheet data streams to disk row by row
    const QByteArray tempName = QFile::encodeName(tempPath);
    book_->workbook = workbook_new_opt(tempName.constData(), &options);
    if (book_->workbook == nullptr)
        return fail(QStringLiteral("the workbook could not be started"));

    book_->text = workbook_add_format(book_->workbook);
    book_->heading = workbook_add_format(book_->workbook);
    if (book_->text == nullptr || book_->heading == nullptr)
        return fail(QStringLiteral("out of memory"));
    format_set_num_format_index(book_->text, kTextFormatIndex);
    format_set_num_format_index(book_->heading, kTextFormatIndex);
    format_set_bold(book_->heading);
    format_set_font_size(book_->heading, kHeadingFontSize);
    return true;
}

bool WorkbookWriter::addSheet(const QString& name)
{
    if (!ready(false))
        return false;
    if (name.isEmpty())
        return fail(QStringLiteral("a worksheet needs a name"));
    const QByteArray utf8 = name.toUtf8();
    const lxw_error check = workbook_validate_sheet_name(book_->workbook, utf8.constData());
    if (check != LXW_NO_ERROR)
        return fail(QStringLiteral("sheet name \"%1\": %2").arg(name, libraryError(check)));
    lxw_worksheet* worksheet = workbook_add_worksheet(book_->workbook, utf8.constData());
    if (worksheet == nullptr)
        return fail(QStringLiteral("sheet \"%1\" could not be added").arg(name));
    book_->sheets.push_back({name, worksheet, 0, {}});
    return true;
}

bool WorkbookWriter::setColumnWidth(int column, double width)
{
    if (!ready(true))
        return false;
    if (column < 1 || column > kMaxColumns)
        return fail(QStringLiteral("column %1 is outside the sheet (1 to %2)").arg(column).arg(kMaxColumns));
    if (!(width >= 0 && width <= kMaxColumnWidth))
        return fail(QStringLiteral("column width %1 is outside 0 to %2").arg(width).arg(kMaxColumnWidth));
    const auto c = lxw_col_t(column - 1);
    const lxw_error error = worksheet_set_column(book_->current().worksheet, c, c, width, book_->text);
    if (error != LXW_NO_ERROR)
        return fail(QStringLiteral("column %1 of sheet \"%2\": %3").arg(column).arg(book_->current().name, libraryError(error)));
    return true;
}

bool WorkbookWriter::setColumnWidths(const QList<double>& widths)
{
    if (!ready(true))
        return false;
    for (qsizetype i = 0; i < widths.size(); ++i) {
        if (!setColumnWidth(int(i) + 1, widths[i]))
            return false;
    }
    return true;
}

bool WorkbookWriter::writeHeadings(const QStringList& headings)
{
    if (!ready(true))
        return false;
    Book::Sheet& sheet = book_->current();
    if (sheet.lastRow > 0)
        return fail(QStringLiteral("the headings of sheet \"%1\" come after its rows").arg(sheet.name));
    if (headings.size() > kMaxColumns)
        return fail(QStringLiteral("sheet \"%1\" has more than %2 headings").arg(sheet.name).arg(kMaxColumns));
    const lxw_error error = worksheet_set_row(sheet.worksheet, 0, LXW_DEF_ROW_HEIGHT, book_->heading);
    if (error != LXW_NO_ERROR)
        return fail(QStringLiteral("heading row of sheet \"%1\": %2").arg(sheet.name, libraryError(error)));
    for (qsizetype i = 0; i < headings.size(); ++i) {
        if (headings[i].isEmpty())
            continue;
        const QByteArray utf8 = detail::protectEscapes(headings[i]).toUtf8();
        const lxw_error e = worksheet_write_string(sheet.worksheet, 0, lxw_col_t(i), utf8.constData(), book_->heading);
        if (e != LXW_NO_ERROR)
            return fail(QStringLiteral("heading %1 of sheet \"%2\": %3").arg(i + 1).arg(sheet.name, libraryError(e)));
    }
    sheet.lastRow = 1;
    return true;
}

bool WorkbookWriter::checkPosition(int row, int column)
{
    const Book::Sheet& sheet = book_->current();
    if (row < 1 || row > kMaxRows)
        return fail(QStringLiteral("row %1 is outside sheet \"%2\", which holds rows 1 to %3").arg(row).arg(sheet.name).arg(kMaxRows));
    if (column < 1 || column > kMaxColumns)
        return fail(QStringLiteral("column %1 is outside sheet \"%2\" (1 to %3)").arg(column).arg(sheet.name).arg(kMaxColumns));
    if (row < sheet.lastRow)
        return fail(QStringLiteral("row %1 of sheet \"%2\" comes after row %3: rows are written from top to bottom")
                        .arg(row).arg(sheet.name).arg(sheet.lastRow));
    return true;
}

bool WorkbookWriter::writeCell(int row, int column, const QString& text)
{
    if (!ready(true) || !checkPosition(row, column))
        return false;
    if (text.isEmpty())
        return true;
    Book::Sheet& sheet = book_->current();
    const QByteArray utf8 = detail::protectEscapes(text).toUtf8();
    const lxw_error error = worksheet_write_string(sheet.worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                                   utf8.constData(), book_->text);
    if (error != LXW_NO_ERROR) {
        return fail(QStringLiteral("cell %1%2 of sheet \"%3\": %4")
                        .arg(detail::columnLetters(column)).arg(row).arg(sheet.name, libraryError(error)));
    }
    sheet.lastRow = row;
    return true;
}

bool WorkbookWriter::ignoreNumberStoredAsText(const CellRange& range)
{
    if (!ready(true))
        return false;
    const bool valid = range.firstRow >= 1 && range.firstRow <= range.lastRow && range.lastRow <= kMaxRows
                       && range.firstColumn >= 1 && range.firstColumn <= range.lastColumn
                       && range.lastColumn <= kMaxColumns;
    if (!valid) {
        return fail(QStringLiteral("rows %1 to %2, columns %3 to %4 are not a block of sheet \"%5\"")
                        .arg(range.firstRow).arg(range.lastRow).arg(range.firstColumn).arg(range.lastColumn)
                        .arg(book_->current().name));
    }
    book_->current().ignoredRanges << rangeText(range);
    return true;
}

bool WorkbookWriter::save()
{
    if (!ready(true))
        return false;
    for (const Book::Sheet& sheet : book_->sheets) {
        if (sheet.ignoredRanges.isEmpty())
            continue;
        const QByteArray ranges = sheet.ignoredRanges.join(u' ').toLatin1();
        const lxw_error error = worksheet_ignore_errors(sheet.worksheet, LXW_IGNORE_NUMBER_STORED_AS_TEXT, ranges.constData());
        if (error != LXW_NO_ERROR)
            return fail(QStringLiteral("checks of sheet \"%1\": %2").arg(sheet.name, libraryError(error)));
    }
    worksheet_activate(book_->sheets.front().worksheet);

    errno = 0;
    const lxw_error closed = book_->closeLibrary();
    if (closed != LXW_NO_ERROR) {
        // The library names its own step; the system's error number says why.
        const int error = errno;
        book_->file->fail(error, libraryError(closed));
        return fail(book_->file->reason());
    }
    if (!book_->file->commit())
        return fail(book_->file->reason());
    book_.reset();
    return true;
}

} // namespace zarv::xl
