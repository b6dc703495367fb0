#pragma once
// A control that loses the focus only because it was disabled (a button that
// takes itself out of use while the screen it opened is up) gets the focus back
// when it is enabled again, unless the focus was moved on meanwhile. Without this
// the focus would stay on whatever control followed it, a Close button as like
// as not, where the next Enter would press it.
namespace zarv::ui {

// Installs the rule for the whole application, once; later calls do nothing.
// Needs the application object; without one it does nothing yet.
void keepFocusOfDisabledControls();

} // namespace zarv::ui
