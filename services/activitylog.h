#pragma once
// The log an administrator reads to learn what the programs did with files:
// one line per file loaded, refused, saved, exported, imported, uploaded or
// copied, appended to $XDG_STATE_HOME/zarv/zarv.log (~/.local/state/zarv/zarv.log
// when XDG_STATE_HOME is unset). A line holds, separated by tabs: the time (ISO
// 8601 with the UTC offset), the program, the file's full path, the counts and
// the outcome. A log grown past kMostLogBytes is renamed zarv.log.1 (replacing
// the one before) and a new one begun. A log that cannot be written never stops
// the work: the line is dropped.
#include <QString>
#include <functional>

namespace zarv {

namespace db {
class Connection;
}

constexpr qint64 kMostLogBytes = 1024 * 1024;

// The log's path (its folder is made when the first line is written).
QString ActivityLogPath();

// Appends one line: what became of filePath ("loaded", "refused", "saved", ...)
// and its counts ("120 payments"; "" for none).
void LogFile(const QString& filePath, const QString& outcome, const QString& counts = {});

// For a call whose truth tells the outcome: logs `done` or `notDone`, with the
// counts `counts` gives then (none when empty), and returns ok.
bool LogOutcome(bool ok, const QString& filePath, const QString& done, const QString& notDone,
                const std::function<QString()>& counts = {});

// "<rows> <noun>": the rows of a table of the connection, for a log line; ""
// when they cannot be counted.
QString LoggedRows(db::Connection& connection, const QString& table, const QString& noun);

} // namespace zarv
