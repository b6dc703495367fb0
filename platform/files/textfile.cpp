// Windows-1252 text files: decoding, encoding and a safe line writer.
#include "platform/files/textfile.h"

#include "platform/files/safesave.h"
#include "platform/text/codepage.h"

#include <QCryptographicHash>

#include <cstring>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace zarv::fs {

namespace {

char encodeChar(char16_t u)
{
    const int b = txt::Cp1252Byte(u);
    return b < 0 ? '?' : char(b);
}

// True when no byte lies in 0x80..0x9F, the only range where the code page
// differs from Latin-1. Looks at eight bytes at a time.
bool latin1Compatible(const char* data, qsizetype size)
{
    constexpr quint64 kHighBits = 0x8080808080808080ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, sizeof word);
        if (!(word & kHighBits))
            continue;
        for (int k = 0; k < 8; ++k)
            if ((static_cast<unsigned char>(data[i + k]) & 0xE0) == 0x80)
                return false;
    }
    for (; i < size; ++i)
        if ((static_cast<unsigned char>(data[i]) & 0xE0) == 0x80)
            return false;
    return true;
}

QString decode(const char* data, qsizetype size)
{
    if (latin1Compatible(data, size))
        return QString::fromLatin1(data, size);
    QString s(size, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = txt::Cp1252Char(static_cast<unsigned char>(data[i]));
    return s;
}

constexpr qint64 kChunk = 256 * 1024;

} // namespace

QString decodeCp1252(QByteArrayView bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QByteArray encodeCp1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A surrogate pair is one character and becomes one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out += encodeChar(c.unicode());
    }
    return out;
}

// ---------------------------------------------------------------- LineWriter

namespace {

// The SHA-256 of the chunks handed to it, in order, worked out on a thread of
// its own while the writer goes on. At most a few chunks wait for it.
class ChunkHasher {
public:
    ChunkHasher() : thread_([this] { work(); }) {}
    ~ChunkHasher()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            waiting_.clear();
        }
        finish();
    }
    ChunkHasher(const ChunkHasher&) = delete;
    ChunkHasher& operator=(const ChunkHasher&) = delete;

    void add(const QByteArray& chunk)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        taken_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
        waiting_.push_back(chunk);
        lock.unlock();
        added_.notify_one();
    }

    // The digest in hex, once every chunk is hashed.
    QByteArray finish()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        added_.notify_one();
        if (thread_.joinable())
            thread_.join();
        return hash_.result().toHex();
    }

private:
    static constexpr size_t kMostWaiting = 16;

    void work()
    {
        for (;;) {
            QByteArray chunk;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                added_.wait(lock, [this] { return !waiting_.empty() || done_; });
                if (waiting_.empty())
                    return;
                chunk = std::move(waiting_.front());
                waiting_.pop_front();
            }
            taken_.notify_one();
            hash_.addData(chunk);
        }
    }

    std::mutex mutex_;
    std::condition_variable added_, taken_;
    std::deque<QByteArray> waiting_;
    bool done_ = false;
    QCryptographicHash hash_{QCryptographicHash::Sha256};
    std::thread thread_;   // last: it starts working at once
};

} // namespace

struct LineWriter::Impl {
    std::unique_ptr<SafeSave> save;
    QByteArray buffer;
    QString error;
    // The bytes written are hashed beside the writing, so that the digest
    // costs the save next to no time.
    std::unique_ptr<ChunkHasher> hasher;
    QByteArray digest;

    // Hands the buffered lines to the save; false once the save failed.
    bool flush()
    {
        if (hasher)
            hasher->add(buffer);
        const bool ok = save->write(buffer);
        buffer.clear();
        return ok;
    }
};

LineWriter::LineWriter() : d(std::make_unique<Impl>()) {}

LineWriter::~LineWriter() { cancel(); }

bool LineWriter::open(const QString& path)
{
    cancel();
    d->error.clear();
    d->save = std::make_unique<SafeSave>(path);
    if (d->save->open()) {
        d->hasher = std::make_unique<ChunkHasher>();
        return true;
    }
    d->error = d->save->errorString();
    return false;
}

bool LineWriter::writeLine(const QString& line)
{
    if (!d->save) {
        if (d->error.isEmpty())
            d->error = QStringLiteral("Could not write: the file is not open");
        return false;
    }
    if (d->save->failed())
        return false;
    d->buffer += encodeCp1252(line);
    d->buffer.append("\r\n", 2);
    if (d->buffer.size() >= kChunk && !d->flush()) {
        d->error = d->save->errorString();
        return false;
    }
    return true;
}

bool LineWriter::commit()
{
    if (!d->save) {
        if (d->error.isEmpty())
            d->error = QStringLiteral("Could not write: the file is not open");
        return false;
    }
    const bool ok = d->flush() && d->save->commit();
    if (ok)
        d->digest = d->hasher->finish();
    else
        d->error = d->save->errorString();
    d->hasher.reset();
    d->save.reset();
    return ok;
}

void LineWriter::cancel()
{
    d->hasher.reset();
    d->digest.clear();
    d->buffer.clear();
    d->save.reset();   // drops the temporary file
}

QString LineWriter::errorString() const { return d->error; }

QByteArray LineWriter::digest() const { return d->digest; }

} // namespace zarv::fs
