#pragma once
// The program's window for a long, column-aligned text. ShowInformationDialog
// sets gMsgType, gMsgText and gMsgTitle and opens the window the screens put in
// place (Form_InformationDialog, services/screens), which empties the three
// strings when it closes. A program without screens (a batch run) has none:
// there the text goes out as a message box through the UI services.
#include <QString>
#include <functional>

namespace zarv {

void ShowInformationDialog(const QString& type, const QString& text, const QString& title);

// Shows the window over the three strings, modally; an empty one takes the
// window away again.
using InformationWindow = std::function<void()>;
void setInformationWindow(InformationWindow window);

} // namespace zarv
