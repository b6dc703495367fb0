#pragma once
// The one way the program writes a file: the new contents go to a temporary
// file in the target's folder and take the target's place in one rename when
// complete, so the target is always the old file or the new one, whole.
//
// The temporary file is a QSaveFile: unnamed (O_TMPFILE) on Linux, so a save
// killed midway leaves nothing behind. Only the last step of the rename gives
// it a name for a moment ("<target>.XXXXXX"), and file systems without unnamed
// files use that name throughout; a save removes what earlier saves of the
// same target left under those names before it starts.
//
// The new file gets the old one's mode, and its group (and owner, for the
// superuser) where the system allows it. A failure says why in words: the
// disk is full, the folder cannot be written, ...
#include <QByteArray>
#include <QString>
#include <memory>

namespace zarv::fs {

// Words for a system error number met while writing into folder.
QString failureReason(int error, const QString& folder);

// "Could not write <path>: <reason>"
QString couldNotWrite(const QString& path, const QString& reason);

class SafeSave {
public:
    explicit SafeSave(const QString& target);
    ~SafeSave();   // an uncommitted save is dropped; the target is not touched
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    // Clears leftovers of killed saves of this target and starts the new file.
    bool open();
    // Appends bytes to the new file. False (and every later call false) once
    // anything failed.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }

    // A name under which a library that opens files by name itself (the
    // workbook library, the PDF writer) writes the new file; "" when there is
    // none, with the reason set.
    QString writerPath();
    // Records the failure of such a library: the error number it left, or
    // words of its own when the number says nothing (0).
    bool fail(int error, const QString& otherwise = QString());
    bool failWith(const QString& reason);

    // Puts the new file in the target's place. False when anything failed;
    // the target is then as it was.
    bool commit();
    void cancel();

    bool failed() const;
    const QString& target() const;
    // Why the save failed, in words, and the whole sentence naming the file.
    QString reason() const;
    QString errorString() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// True for a name a killed save of target may have left in its folder.
bool isLeftoverOf(const QString& fileName, const QString& targetFileName);
// Removes such files beside target; returns how many were removed.
int removeLeftovers(const QString& target);

} // namespace zarv::fs
