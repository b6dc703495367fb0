#include "platform/workbook/package.h"

#include <QFile>
#include <QStringList>
#include <zip.h>

#include <algorithm>

namespace zarv::xl::detail {

namespace {

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QByteArray entryName(const QString& partName)
{
    QString name = partName;
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    return name.toUtf8();
}

} // namespace

void Package::ZipCloser::operator()(zip* archive) const
{
    zip_discard(archive);
}

Package::Package() = default;
Package::~Package() = default;

bool Package::open(const QString& path)
{
    close();
    error_.clear();
    int code = 0;
    zip* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        if (code == ZIP_ER_NOZIP)
            error_ = QStringLiteral("it is not a zip package");
        else
            error_ = zipErrorText(code);
        return false;
    }
    archive_.reset(archive);
    unpacked_ = 0;
    refused_ = false;
    return true;
}

void Package::setLimits(qint64 partBytes, qint64 totalBytes, qint64 packedRatio, qint64 ratioFloor)
{
    partBytes_ = partBytes;
    totalBytes_ = totalBytes;
    packedRatio_ = packedRatio;
    ratioFloor_ = ratioFloor;
}

void Package::close()
{
    archive_.reset();
}

long long Package::locate(const QString& partName) const
{
    if (!archive_)
        return -1;
    const QByteArray name = entryName(partName);
    zip_int64_t index = zip_name_locate(archive_.get(), name.constData(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        index = zip_name_locate(archive_.get(), name.constData(), ZIP_FL_ENC_GUESS | ZIP_FL_NOCASE);
    return index;
}

bool Package::contains(const QString& partName) const
{
    return locate(partName) >= 0;
}

bool Package::read(const QString& partName, QByteArray& content)
{
    content.clear();
    const long long index = locate(partName);
    if (index < 0) {
        error_ = QStringLiteral("part %1 is missing").arg(partName);
        return false;
    }
    zip_stat_t stat;
    if (zip_stat_index(archive_.get(), zip_uint64_t(index), 0, &stat) != 0
        || (stat.valid & ZIP_STAT_SIZE) == 0) {
        error_ = QStringLiteral("part %1 cannot be read (%2)").arg(partName, QString::fromLocal8Bit(zip_strerror(archive_.get())));
        return false;
    }
    // The sizes the package states are checked before anything is unpacked,
    // and no more than the stated size is ever read.
    const auto size = qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62));
    const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : size;
    const bool tooDense = packedRatio_ > 0 && size > ratioFloor_ && size / std::max<qint64>(packed, 1) >= packedRatio_;
    if (size > partBytes_ || tooDense) {
        refused_ = true;
        error_ = QStringLiteral("part %1 unpacks to %2 bytes from %3 packed bytes, and a workbook part holds at most "
                                "%4 bytes and unpacks to less than %5 times its packed size")
                     .arg(partName).arg(size).arg(packed).arg(partBytes_).arg(packedRatio_);
        return false;
    }
    if (size > totalBytes_ - unpacked_) {
        refused_ = true;
        error_ = QStringLiteral("its parts unpack to more than %1 bytes in all").arg(totalBytes_);
        return false;
    }
    unpacked_ += size;
    zip_file_t* file = zip_fopen_index(archive_.get(), zip_uint64_t(index), 0);
    if (file == nullptr) {
        error_ = QStringLiteral("part %1 cannot be read (%2)").arg(partName, QString::fromLocal8Bit(zip_strerror(archive_.get())));
        return false;
    }
    content.resize(qsizetype(stat.size));
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t got = zip_fread(file, content.data() + done, stat.size - done);
        if (got <= 0)
            break;
        done += zip_uint64_t(got);
    }
    const bool complete = done == stat.size;
    const QString why = complete ? QString() : QString::fromLocal8Bit(zip_file_strerror(file));
    zip_fclose(file);
    if (!complete) {
        content.clear();
        error_ = QStringLiteral("part %1 cannot be read (%2)").arg(partName, why);
        return false;
    }
    return true;
}

QString resolvePartName(const QString& baseFolder, const QString& target)
{
    const bool absolute = target.startsWith(u'/');
    QStringList segments;
    const QString joined = absolute ? target : baseFolder + u'/' + target;
    for (const QString& segment : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments << segment;
    }
    return segments.join(u'/');
}

QString relationshipsPartName(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : partName.left(slash + 1);
    const QString file = partName.mid(slash + 1);
    return folder + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

} // namespace zarv::xl::detail
