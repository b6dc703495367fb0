#include "platform/workbook/workbook.h"

#include "platform/workbook/celltext.h"
#include "platform/workbook/package.h"
#include "platform/workbook/xmlslices.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <pugixml.hpp>

namespace zarv::xl {

namespace detail {

namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
constexpr const char* kDefaultMainPart = "xl/workbook.xml";

// Elements and attributes are matched by local name, so the Transitional and the
// Strict namespace (and any prefix a producer chose) read alike.
const char* localName(const char* qualified)
{
    const char* colon = std::strrchr(qualified, ':');
    return colon ? colon + 1 : qualified;
}

bool isElement(pugi::xml_node node, const char* local)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), local) == 0;
}

pugi::xml_node childElement(pugi::xml_node node, const char* local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (isElement(c, local))
            return c;
    }
    return {};
}

pugi::xml_attribute attributeOf(pugi::xml_node node, const char* local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(localName(a.name()), local) == 0)
            return a;
    }
    return {};
}

QString textOf(pugi::xml_node node)
{
    QString text;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            text += QString::fromUtf8(c.value());
    }
    return text;
}

// The string of a shared-string item <si> or an inline string <is>: its <t>, or
// the <t> of each rich-text run <r> in turn; phonetic runs <rPh> are not text.
QString stringItemText(pugi::xml_node item)
{
    QString text;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (isElement(c, "t"))
            text += textOf(c);
        else if (isElement(c, "r"))
            text += textOf(childElement(c, "t"));
    }
    return decodeEscapes(text);
}

template <typename Int>
bool parseInt(std::string_view text, Int& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

struct Relationship {
    QString type;
    QString target;   // resolved part name
};
using Relationships = std::map<QString, Relationship>;

// A parsed part; the document points into its buffer, so the two live together.
struct XmlPart {
    QByteArray buffer;
    pugi::xml_document doc;
    pugi::xml_node root() const { return doc.document_element(); }
};

QString folderOf(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash);
}

// What the cell formats say about the numbers of the cells that use them.
struct Styles {
    std::vector<char> dateStyles;   // per cell format (the cells' s="n"): holds a date
    bool date1904 = false;          // serials count from 1/1/1904
};

} // namespace

// Fills one Worksheet from its parsed part.
class SheetBuilder {
public:
    // cellsLeft: how many more non-empty cells the workbook may hold;
    // reserveLeft: how many more cells the workbook may set room aside for
    // before they are read. Both counted down, across all its sheets.
    SheetBuilder(Worksheet& sheet, const std::vector<QString>& sharedStrings, const Styles& styles,
                 qint64& cellsLeft, qint64& reserveLeft, qint64 cellLimit)
        : sheet_(sheet), shared_(sharedStrings), styles_(styles), cellsLeft_(cellsLeft), reserveLeft_(reserveLeft),
          cellLimit_(cellLimit)
    {
    }

    // The sheet's outline: its name, and room for the cells its dimension announces.
    bool begin(const QString& name, pugi::xml_node root, QString& error)
    {
        sheet_.name_ = name;
        if (!isElement(root, "worksheet")) {
            error = QStringLiteral("it is not a worksheet");
            return false;
        }
        // A second list of rows would be read one way whole and another in
        // slices; a worksheet has one.
        int lists = 0;
        for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling())
            lists += isElement(c, "sheetData") ? 1 : 0;
        if (lists > 1) {
            error = QStringLiteral("it holds %1 lists of rows (sheetData) where a worksheet has one").arg(lists);
            return false;
        }
        reserveCells(childElement(root, "dimension"));
        return true;
    }

    // The <row> elements among the children of `parent`, in turn.
    bool addRows(pugi::xml_node parent, QString& error)
    {
        for (pugi::xml_node row = parent.first_child(); row; row = row.next_sibling()) {
            if (!isElement(row, "row"))
                continue;
            const int before = previousRow_;
            if (!addRow(row, previousRow_, error))
                return false;
            rowsAscending_ = rowsAscending_ && previousRow_ > before;
        }
        return true;
    }

    // Rows given out of order are put in order.
    void finish()
    {
        if (!rowsAscending_) {
            std::stable_sort(sheet_.rows_.begin(), sheet_.rows_.end(),
                             [](const Worksheet::Row& a, const Worksheet::Row& b) { return a.row < b.row; });
        }
        std::stable_sort(sheet_.faults_.begin(), sheet_.faults_.end(), [](const CellFault& a, const CellFault& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
    }

private:
    // What one <c> element says about itself.
    struct CellParts {
        const char* reference = nullptr;
        const char* type = "";
        const char* style = nullptr;   // index into the cell formats
        pugi::xml_node value;          // <v>
        pugi::xml_node inlineString;   // <is>
        bool formula = false;          // has an <f>
    };

    // Room for the cells the sheet's dimension ("A1:N32767") announces, out of
    // what the workbook as a whole may set aside: a dimension is only what
    // the file claims, and several sheets claiming the most would otherwise
    // take gigabytes before a cell is read.
    void reserveCells(pugi::xml_node dimension)
    {
        const std::string_view ref = attributeOf(dimension, "ref").value();
        const std::size_t colon = ref.find(':');
        if (colon == std::string_view::npos)
            return;
        const std::string_view last = ref.substr(colon + 1);
        const std::size_t digits = last.find_first_of("0123456789");
        int rows = 0;
        const int columns = columnFromReference(last);
        if (digits == std::string_view::npos || columns == 0 || !parseInt(last.substr(digits), rows))
            return;
        const qint64 cells = std::min<qint64>(qint64(std::min(rows, kMaxRow)) * columns, reserveLeft_);
        if (cells > 0) {
            reserveLeft_ -= cells;
            sheet_.cells_.reserve(std::size_t(cells));
            sheet_.rows_.reserve(std::size_t(std::min<qint64>(rows, cells)));   // a row kept holds a cell
        }
    }

    static CellParts partsOf(pugi::xml_node c)
    {
        CellParts parts;
        for (pugi::xml_attribute a = c.first_attribute(); a; a = a.next_attribute()) {
            const char* name = localName(a.name());
            if (name[0] == 'r' && name[1] == '\0')
                parts.reference = a.value();
            else if (name[0] == 't' && name[1] == '\0')
                parts.type = a.value();
            else if (name[0] == 's' && name[1] == '\0')
                parts.style = a.value();
        }
        for (pugi::xml_node child = c.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            const char* name = localName(child.name());
            if (std::strcmp(name, "v") == 0)
                parts.value = child;
            else if (std::strcmp(name, "is") == 0)
                parts.inlineString = child;
            else if (std::strcmp(name, "f") == 0)
                parts.formula = true;
        }
        return parts;
    }

    bool addRow(pugi::xml_node row, int& previousRow, QString& error)
    {
        int number = previousRow + 1;
        if (pugi::xml_attribute r = attributeOf(row, "r")) {
            if (!parseInt(std::string_view(r.value()), number) || number < 1 || number > kMaxRow) {
                error = QStringLiteral("row number \"%1\" is not valid").arg(QString::fromUtf8(r.value()));
                return false;
            }
        }
        if (number > kMaxRow) {
            error = QStringLiteral("it has more than %1 rows").arg(kMaxRow);
            return false;
        }
        previousRow = number;

        const auto first = unsigned(sheet_.cells_.size());
        int previousColumn = 0;
        bool ascending = true;
        for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
            if (!isElement(c, "c"))
                continue;
            const CellParts parts = partsOf(c);
            int column = previousColumn + 1;
            if (parts.reference != nullptr) {
                column = columnFromReference(parts.reference);
                if (column == 0) {
                    error = QStringLiteral("cell reference \"%1\" is not valid").arg(QString::fromUtf8(parts.reference));
                    return false;
                }
            }
            if (column > kMaxColumn) {
                error = QStringLiteral("row %1 has more than %2 columns").arg(number).arg(kMaxColumn);
                return false;
            }
            ascending = ascending && column > previousColumn;
            previousColumn = column;
            QString text;
            std::optional<CellFault::Kind> fault;
            if (!cellText(parts, text, fault, error))
                return false;
            if (fault) {
                if (cellsLeft_-- <= 0)
                    return tooManyCells(error);
                sheet_.faults_.push_back({number, column, *fault, text});
            }
            if (!text.isEmpty()) {
                if (cellsLeft_-- <= 0)
                    return tooManyCells(error);
                sheet_.cells_.push_back({column, std::move(text)});
                sheet_.lastColumn_ = std::max(sheet_.lastColumn_, column);
            }
        }
        const auto count = unsigned(sheet_.cells_.size()) - first;
        if (count == 0)
            return true;
        if (!ascending) {
            std::stable_sort(sheet_.cells_.begin() + first, sheet_.cells_.end(),
                             [](const Worksheet::Cell& a, const Worksheet::Cell& b) { return a.column < b.column; });
        }
        sheet_.rows_.push_back({number, first, count});
        return true;
    }

    bool tooManyCells(QString& error) const
    {
        error = QStringLiteral("the workbook holds more than %1 cells").arg(cellLimit_);
        return false;
    }

    bool cellText(const CellParts& c, QString& text, std::optional<CellFault::Kind>& fault, QString& error) const
    {
        const char* type = c.type;
        // A formula's result is its <v>; a program that writes formulas
        // without working them out leaves it out or empty. Only a text result
        // may be empty.
        if (c.formula && !c.inlineString && (!c.value || (std::strcmp(type, "str") != 0 && textOf(c.value).isEmpty()))) {
            fault = CellFault::NoResult;
            return true;
        }
        if (type[0] == '\0' || std::strcmp(type, "n") == 0) {
            if (c.value) {
                if (c.style != nullptr && isDateStyle(c.style))
                    text = dateCellText(c.value.child_value());
                else
                    text = numericCellText(c.value.child_value());
            }
        } else if (std::strcmp(type, "inlineStr") == 0) {
            text = c.inlineString ? stringItemText(c.inlineString) : decodeEscapes(textOf(c.value));
        } else if (std::strcmp(type, "s") == 0) {
            return sharedText(c.value, text, error);
        } else if (std::strcmp(type, "str") == 0) {
            text = decodeEscapes(textOf(c.value));
        } else if (std::strcmp(type, "b") == 0) {
            const std::string_view v = c.value.child_value();
            text = v == "1" || v == "true" ? QStringLiteral("TRUE")
                 : v == "0" || v == "false" ? QStringLiteral("FALSE")
                                            : textOf(c.value);
        } else if (std::strcmp(type, "d") == 0) {
            text = isoDateText(textOf(c.value));
            if (text.isEmpty())
                text = textOf(c.value);
        } else {
            text = textOf(c.value);   // "e": error values such as #N/A
            if (!text.isEmpty())
                fault = CellFault::ErrorValue;
        }
        return true;
    }

    bool isDateStyle(std::string_view style) const
    {
        std::size_t index = 0;
        return parseInt(style, index) && index < styles_.dateStyles.size() && styles_.dateStyles[index];
    }

    QString dateCellText(std::string_view stored) const
    {
        double serial = 0;
        const auto [end, ec] = std::from_chars(stored.data(), stored.data() + stored.size(), serial);
        QString text;
        if (ec == std::errc() && end == stored.data() + stored.size())
            text = dateText(serial, styles_.date1904);
        return text.isEmpty() ? numericCellText(stored) : text;
    }

    bool sharedText(pugi::xml_node value, QString& text, QString& error) const
    {
        if (!value)
            return true;
        std::size_t index = 0;
        const std::string_view stored = value.child_value();
        if (!parseInt(stored, index) || index >= shared_.size()) {
            error = QStringLiteral("a cell refers to shared string \"%1\", which does not exist")
                        .arg(QString::fromUtf8(stored.data(), qsizetype(stored.size())));
            return false;
        }
        text = shared_[index];
        return true;
    }

    Worksheet& sheet_;
    const std::vector<QString>& shared_;
    const Styles& styles_;
    qint64& cellsLeft_;
    qint64& reserveLeft_;
    qint64 cellLimit_;
    int previousRow_ = 0;
    bool rowsAscending_ = true;
};

// Reads the parts of one package into Worksheets.
class WorkbookLoader {
public:
    WorkbookLoader(std::vector<std::unique_ptr<Worksheet>>& sheets, const ReadLimits& limits)
        : sheets_(sheets), limits_(limits), cellsLeft_(limits.cells), reserveLeft_(limits.cells)
    {
    }

    // Fills the sheets; on failure returns false with error() as a complete sentence.
    bool load(const QString& path)
    {
        displayPath_ = QDir::toNativeSeparators(path);
        const QFileInfo info(path);
        if (!info.exists())
            return fail(QStringLiteral("The workbook \"%1\" does not exist.").arg(displayPath_));
        if (info.isDir())
            return fail(QStringLiteral("\"%1\" is a folder, not a workbook.").arg(displayPath_));
        package_.setLimits(limits_.partBytes, limits_.totalBytes, limits_.packedRatio, limits_.ratioFloor);
        if (!package_.open(path)) {
            return fail(QStringLiteral("\"%1\" is not an .xlsx workbook that can be read: %2.")
                            .arg(displayPath_, package_.error()));
        }
        const QString mainPart = findMainPart();
        if (!package_.contains(mainPart)) {
            return fail(QStringLiteral("\"%1\" is not an .xlsx workbook: it has no part %2.")
                            .arg(displayPath_, mainPart));
        }
        return loadWorkbook(mainPart);
    }

    const QString& error() const { return error_; }

private:
    bool fail(const QString& message)
    {
        error_ = message;
        return false;
    }

    bool refuse(const QString& why)
    {
        return fail(QStringLiteral("The workbook \"%1\" is refused: %2, more than a workbook of this program ever "
                                   "holds.").arg(displayPath_, why));
    }

    bool damaged(const QString& partName, const QString& why)
    {
        return fail(QStringLiteral("The workbook \"%1\" is damaged: part %2: %3.").arg(displayPath_, partName, why));
    }

    bool parse(const QString& partName, XmlPart& part)
    {
        return read(partName, part.buffer) && parseXml(partName, part.doc, part.buffer.data(), part.buffer.size(), 0);
    }

    // The part unpacked, refused when its parsed form would be too large.
    bool read(const QString& partName, QByteArray& buffer)
    {
        if (!package_.read(partName, buffer)) {
            if (package_.refused())
                return refuse(package_.error());
            return fail(QStringLiteral("The workbook \"%1\" is damaged: %2.").arg(displayPath_, package_.error()));
        }
        // The parsed form takes some 50 bytes per element and attribute: they
        // are counted (from above) before it is built.
        const char* text = buffer.constData();
        const qint64 marks = std::count(text, text + buffer.size(), '<') + std::count(text, text + buffer.size(), '=');
        if (marks > limits_.marksPerPart) {
            return refuse(QStringLiteral("part %1 has more than %2 elements and attributes")
                              .arg(partName)
                              .arg(limits_.marksPerPart));
        }
        return true;
    }

    // Parses text in place; `offset` is where it begins in its part, for the message.
    bool parseXml(const QString& partName, pugi::xml_document& doc, char* text, qsizetype size, qsizetype offset,
                  unsigned extraOptions = 0, pugi::xml_encoding encoding = pugi::encoding_auto)
    {
        // Whitespace-only text is kept where it is an element's only content
        // (a cell of blanks), dropped between elements.
        const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single | extraOptions;
        const pugi::xml_parse_result result = doc.load_buffer_inplace(text, std::size_t(size), options, encoding);
        if (!result) {
            return damaged(partName, QStringLiteral("not valid XML (%1 at byte %2)")
                                         .arg(QString::fromUtf8(result.description()))
                                         .arg(offset + result.offset));
        }
        return true;
    }

    // A part whose bulk is one long list of like elements (a sheet's rows, the
    // shared strings) is parsed a slice of the list at a time into one
    // document, emptied in between: the parsed form stays the size of a slice
    // and its memory is used again, where a whole part would take fresh memory
    // many times its size. `whole` gets the part's root with the list element
    // empty; `items` then gets each slice's parent node, the items its
    // children. A part whose list cannot be found is parsed whole.
    bool parseList(const QString& partName, const char* listName, int listDepth,
                   const std::function<bool(pugi::xml_node root)>& whole,
                   const std::function<bool(pugi::xml_node parent)>& items)
    {
        XmlPart part;
        if (!read(partName, part.buffer))
            return false;
        const std::optional<ListSlices> list = limits_.sliceBytes > 0
            ? findListSlices(part.buffer, listName, listDepth, limits_.sliceBytes)
            : std::nullopt;
        if (!list) {
            if (!parseXml(partName, part.doc, part.buffer.data(), part.buffer.size(), 0) || !whole(part.root()))
                return false;
            pugi::xml_node parent = part.root();
            for (int d = 0; d < listDepth; ++d)
                parent = childElement(parent, listName);
            return items(parent);
        }
        {
            QByteArray outline = part.buffer.left(list->contentBegin);
            outline += QByteArrayView(part.buffer).sliced(list->contentEnd);
            pugi::xml_document doc;
            if (!parseXml(partName, doc, outline.data(), outline.size(), 0) || !whole(doc.document_element()))
                return false;
        }
        qsizetype begin = list->contentBegin;
        for (std::size_t k = 0; k <= list->cuts.size(); ++k) {
            const qsizetype end = k < list->cuts.size() ? list->cuts[k] : list->contentEnd;
            if (!parseXml(partName, part.doc, part.buffer.data() + begin, end - begin, begin, pugi::parse_fragment,
                          pugi::encoding_utf8) ||
                !items(part.doc))
                return false;
            begin = end;
        }
        return true;
    }

    // The workbook part named by the package relationships, else the usual name.
    QString findMainPart()
    {
        const QString fallback = QString::fromLatin1(kDefaultMainPart);
        Relationships rels;
        if (!package_.contains(QStringLiteral("_rels/.rels")))
            return fallback;
        if (!readRelationships(QStringLiteral("_rels/.rels"), QString(), rels)) {
            error_.clear();   // the usual name may still be there
            return fallback;
        }
        for (const auto& [id, rel] : rels) {
            if (rel.type.endsWith(QLatin1String("/officeDocument")) && package_.contains(rel.target))
                return rel.target;
        }
        return fallback;
    }

    bool readRelationships(const QString& partName, const QString& baseFolder, Relationships& rels)
    {
        XmlPart part;
        if (!parse(partName, part))
            return false;
        pugi::xml_node root = part.root();
        for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
            if (!isElement(r, "Relationship"))
                continue;
            if (std::strcmp(attributeOf(r, "TargetMode").value(), "External") == 0)
                continue;
            const QString id = QString::fromUtf8(attributeOf(r, "Id").value());
            const QString target = QString::fromUtf8(attributeOf(r, "Target").value());
            rels[id] = {QString::fromUtf8(attributeOf(r, "Type").value()), resolvePartName(baseFolder, target)};
        }
        return true;
    }

    bool loadWorkbook(const QString& mainPart)
    {
        XmlPart part;
        if (!parse(mainPart, part))
            return false;
        pugi::xml_node root = part.root();
        if (!isElement(root, "workbook"))
            return damaged(mainPart, QStringLiteral("it is not a workbook part"));

        Relationships rels;
        const QString relsPart = relationshipsPartName(mainPart);
        if (!package_.contains(relsPart))
            return damaged(relsPart, QStringLiteral("it is missing"));
        if (!readRelationships(relsPart, folderOf(mainPart), rels))
            return false;
        if (!loadSharedStrings(rels) || !loadStyles(rels))
            return false;
        const std::string_view date1904 = attributeOf(childElement(root, "workbookPr"), "date1904").value();
        styles_.date1904 = date1904 == "1" || date1904 == "true";

        pugi::xml_node list = childElement(root, "sheets");
        for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling()) {
            if (isElement(s, "sheet") && !loadSheet(s, rels, mainPart))
                return false;
        }
        return true;
    }

    bool loadSharedStrings(const Relationships& rels)
    {
        for (const auto& [id, rel] : rels) {
            if (!rel.type.endsWith(QLatin1String("/sharedStrings")))
                continue;
            return parseList(
                rel.target, "sst", 0, [](pugi::xml_node) { return true; },
                [this](pugi::xml_node parent) {
                    for (pugi::xml_node si = parent.first_child(); si; si = si.next_sibling()) {
                        if (isElement(si, "si"))
                            shared_.push_back(stringItemText(si));
                    }
                    return true;
                });
        }
        return true;
    }

    // Which cell formats show their numbers as dates or times.
    bool loadStyles(const Relationships& rels)
    {
        for (const auto& [id, rel] : rels) {
            if (!rel.type.endsWith(QLatin1String("/styles")) || !package_.contains(rel.target))
                continue;
            XmlPart part;
            if (!parse(rel.target, part))
                return false;
            pugi::xml_node root = part.root();
            std::map<int, bool> custom;
            for (pugi::xml_node f = childElement(root, "numFmts").first_child(); f; f = f.next_sibling()) {
                int formatId = 0;
                if (isElement(f, "numFmt") && parseInt(std::string_view(attributeOf(f, "numFmtId").value()), formatId))
                    custom[formatId] = isDateFormatCode(attributeOf(f, "formatCode").value());
            }
            for (pugi::xml_node xf = childElement(root, "cellXfs").first_child(); xf; xf = xf.next_sibling()) {
                if (!isElement(xf, "xf"))
                    continue;
                int formatId = 0;
                parseInt(std::string_view(attributeOf(xf, "numFmtId").value()), formatId);
                const auto found = custom.find(formatId);
                styles_.dateStyles.push_back(found != custom.end() ? found->second : isBuiltInDateFormat(formatId));
            }
            return true;
        }
        return true;
    }

    bool loadSheet(pugi::xml_node entry, const Relationships& rels, const QString& mainPart)
    {
        const QString name = QString::fromUtf8(attributeOf(entry, "name").value());
        const QString id = QString::fromUtf8(attributeOf(entry, "id").value());
        const auto found = rels.find(id);
        if (found == rels.end())
            return damaged(mainPart, QStringLiteral("sheet \"%1\" has no relationship \"%2\"").arg(name, id));
        if (!found->second.type.endsWith(QLatin1String("/worksheet")))
            return true;   // chart, dialog and macro sheets are not worksheets

        const QString& partName = found->second.target;
        auto sheet = std::make_unique<Worksheet>();
        SheetBuilder builder(*sheet, shared_, styles_, cellsLeft_, reserveLeft_, limits_.cells);
        QString why;
        const bool read = parseList(
            partName, "sheetData", 1, [&](pugi::xml_node root) { return builder.begin(name, root, why); },
            [&](pugi::xml_node rows) { return builder.addRows(rows, why); });
        if (!read && !why.isEmpty())
            return cellsLeft_ < 0 ? refuse(why) : damaged(partName, why);
        if (!read)
            return false;
        builder.finish();
        sheets_.push_back(std::move(sheet));
        return true;
    }

    std::vector<std::unique_ptr<Worksheet>>& sheets_;
    const ReadLimits& limits_;
    qint64 cellsLeft_;
    qint64 reserveLeft_;
    Package package_;
    std::vector<QString> shared_;
    Styles styles_;
    QString displayPath_;
    QString error_;
};

} // namespace detail

const Worksheet::Row* Worksheet::findRow(int row) const
{
    if (rows_.empty() || row < rows_.front().row)
        return nullptr;
    // Rows are mostly dense: try the place the row would have without gaps
    // before searching.
    std::size_t r = std::size_t(row - rows_.front().row);
    if (r >= rows_.size() || rows_[r].row != row) {
        std::size_t low = 0;
        std::size_t high = rows_.size();
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (rows_[mid].row < row)
                low = mid + 1;
            else
                high = mid;
        }
        if (low == rows_.size() || rows_[low].row != row)
            return nullptr;
        r = low;
    }
    return &rows_[r];
}

int Worksheet::lastColumn(int row) const
{
    const Row* found = findRow(row);
    return found ? cells_[found->first + found->count - 1].column : 0;
}

QString Worksheet::cell(int row, int column) const
{
    const Row* found = findRow(row);
    if (found == nullptr || column < 1)
        return {};
    const Cell* cells = cells_.data() + found->first;
    const std::size_t count = found->count;
    const std::size_t guess = std::size_t(column - cells[0].column);
    if (column >= cells[0].column && guess < count && cells[guess].column == column)
        return cells[guess].text;
    std::size_t low = 0;
    std::size_t high = count;
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (cells[mid].column < column)
            low = mid + 1;
        else
            high = mid;
    }
    return low < count && cells[low].column == column ? cells[low].text : QString();
}

QString cellReference(int row, int column)
{
    return detail::columnLetters(column) + QString::number(row);
}

Workbook::Workbook() = default;
Workbook::~Workbook() = default;
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;

bool Workbook::open(const QString& path, const ReadLimits& limits)
{
    close();
    try {
        open_ = load(path, limits);
    } catch (const std::bad_alloc&) {
        error_ = QStringLiteral("The workbook \"%1\" is refused: reading it needs more memory than this computer "
                                "can give.").arg(QDir::toNativeSeparators(path));
        open_ = false;
    } catch (const std::exception& e) {
        error_ = QStringLiteral("The workbook \"%1\" cannot be read: %2.")
                     .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(e.what()));
        open_ = false;
    }
    if (!open_)
        sheets_.clear();
    else
        path_ = path;
    return open_;
}

bool Workbook::load(const QString& path, const ReadLimits& limits)
{
    detail::WorkbookLoader loader(sheets_, limits);
    if (loader.load(path))
        return true;
    error_ = loader.error();
    return false;
}

void Workbook::close()
{
    sheets_.clear();
    path_.clear();
    error_.clear();
    open_ = false;
}

const Worksheet* Workbook::sheet(int position) const
{
    if (position < 1 || position > sheetCount())
        return nullptr;
    return sheets_[std::size_t(position - 1)].get();
}

const Worksheet* Workbook::sheet(const QString& name) const
{
    for (const auto& s : sheets_) {
        if (s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    }
    return nullptr;
}

QString Workbook::missingSheetText(int position) const
{
    if (!open_)
        return QStringLiteral("No workbook is open.");
    return QStringLiteral("The workbook \"%1\" has no worksheet %2: it holds %3.")
        .arg(QDir::toNativeSeparators(path_))
        .arg(position)
        .arg(sheetCount() == 1 ? QStringLiteral("1 worksheet") : QStringLiteral("%1 worksheets").arg(sheetCount()));
}

} // namespace zarv::xl
