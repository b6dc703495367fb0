#pragma once
// The program's module-level strings: scratch texts for recordset filters, find
// criteria and sources, and the hand-over to the message dialog. Each user sets
// a string right before it uses it; nobody relies on one across calls.
#include <QString>

namespace zarv {

inline QString strFilter;   // the recordset filter being built or applied
inline QString strFind;     // the last find criterion
inline QString strSQL;      // a command's source text set at run time

// Input of Form_InformationDialog; the dialog empties them when it closes.
inline QString gMsgType;    // "CRITICAL" for an error, "Informational" otherwise
inline QString gMsgText;
inline QString gMsgTitle;

} // namespace zarv
