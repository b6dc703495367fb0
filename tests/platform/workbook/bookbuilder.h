#pragma once
// Hand-made .xlsx packages for the reader tests: the XML parts are written here
// and zipped with libzip, so each test controls exactly what the file holds.
#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace zarv::xl::test {

struct Part {
    QString name;
    QByteArray content;
};

// Writes a zip file holding the parts in the given order.
bool writeZip(const QString& path, const QList<Part>& parts);

// Reads one part of a zip file ("" when it cannot).
QByteArray readZipPart(const QString& path, const QString& partName);
// Reads every part of a zip file, in the order it stores them.
QList<Part> readZip(const QString& path);
// The parts with one part's content changed.
QList<Part> withPart(QList<Part> parts, const QString& partName, const std::function<QByteArray(QByteArray)>& change);

class BookBuilder {
public:
    enum class Flavour { Transitional, Strict };
    explicit BookBuilder(Flavour flavour = Flavour::Transitional) : flavour_(flavour) {}

    // A worksheet whose <sheetData> holds rowsXml.
    BookBuilder& sheet(const QString& name, const QString& rowsXml);
    BookBuilder& chartSheet(const QString& name);
    // The <si> items of the shared-string table.
    BookBuilder& sharedStrings(const QString& itemsXml);
    // Sheet parts stored last-first in the zip, named against their order
    // (the first sheet is "worksheets/sheetN.xml"), with absolute targets.
    BookBuilder& scrambled();

    QList<Part> parts() const;
    bool write(const QString& path) const { return writeZip(path, parts()); }

private:
    struct Sheet {
        QString name;
        QString body;
        bool chart;
    };
    QString partFolderName(int index) const;

    Flavour flavour_;
    QList<Sheet> sheets_;
    QString shared_;
    bool hasShared_ = false;
    bool scrambled_ = false;
};

} // namespace zarv::xl::test
