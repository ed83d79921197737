// The program's start: the application, the synchronised-call pump of the GUI
// thread, the one window and the message loop.
#pragma once

#include <functional>

class TForm1;

// Runs the window until it is closed; 0. `shown`, if given, is called once
// the message loop has taken its first turn after the window was shown.
int RunApplication(int& argc, char* argv[], const std::function<void(TForm1&)>& shown = {});
