#pragma once
// Read access to the parts of a zip package (an .xlsx file).
#include <QByteArray>
#include <QString>
#include <memory>

struct zip;

namespace zarv::xl::detail {

class Package {
public:
    Package();
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Opens the zip file at path; false with error() set when it does not exist,
    // cannot be read or is not a zip file.
    bool open(const QString& path);
    void close();

    // True when the package has a part of that name ("xl/workbook.xml"; a leading
    // "/" is allowed, letter case is matched exactly first, then ignored).
    bool contains(const QString& partName) const;

    // How much the parts may unpack to, each and together; a part above
    // ratioFloor bytes may unpack to at most packedRatio times its packed size.
    void setLimits(qint64 partBytes, qint64 totalBytes, qint64 packedRatio, qint64 ratioFloor);

    // Reads a whole part; false with error() set when it is missing or damaged,
    // or refused() when it is beyond the limits (then nothing was unpacked).
    bool read(const QString& partName, QByteArray& content);

    const QString& error() const { return error_; }
    bool refused() const { return refused_; }

private:
    struct ZipCloser {
        void operator()(zip* archive) const;
    };
    long long locate(const QString& partName) const;

    std::unique_ptr<zip, ZipCloser> archive_;
    QString error_;
    bool refused_ = false;
    qint64 partBytes_ = qint64(1) << 30;
    qint64 totalBytes_ = qint64(1) << 30;
    qint64 packedRatio_ = 0;      // 0: no ratio test
    qint64 ratioFloor_ = 0;
    qint64 unpacked_ = 0;         // bytes read so far
};

// The part a relationship target points to, given the folder of the part whose
// relationships name it ("xl/"): "worksheets/sheet1.xml" and "/xl/worksheets/sheet1.xml"
// both give "xl/worksheets/sheet1.xml"; "." and ".." segments are resolved.
QString resolvePartName(const QString& baseFolder, const QString& target);

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
QString relationshipsPartName(const QString& partName);

} // namespace zarv::xl::detail
