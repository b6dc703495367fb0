#pragma once
// Line-oriented text files in the Windows-1252 code page.
#include <QString>
#include <QStringList>
#include <QByteArray>
#include <QByteArrayView>
#include <memory>

namespace zarv::fs {

// Windows-1252 <-> Unicode. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, so
// that every byte survives a decode and an encode unchanged. A character the
// code page cannot hold is written as "?".
QString decodeCp1252(QByteArrayView bytes);
QByteArray encodeCp1252(const QString& text);

// Writes a text file safely: lines go to a temporary file in the target's
// folder and replace the target only on commit(). Every line, the last one
// included, ends in CR LF. A writer destroyed without commit() leaves the
// target untouched and removes the temporary file.
class LineWriter {
public:
    LineWriter();
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    bool open(const QString& path);
    // False once the file could not be written (errorString() says why): a
    // caller may stop there.
    bool writeLine(const QString& line);
    // Writes out and renames over the target. False (with errorString()) when
    // any write, the flush or the rename failed; the target is then unchanged.
    bool commit();
    void cancel();
    QString errorString() const;
    // The SHA-256 (in hex) of the bytes the last commit wrote, worked out as
    // they were written; empty when none was made.
    QByteArray digest() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zarv::fs
