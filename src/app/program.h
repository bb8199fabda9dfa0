#pragma once
// The program from its start to its end, given the device library and the prompter: the splash
// goes up, the main window is created (which reads the remote, every message box included,
// while the splash stays up), the splash stays another half second and goes, and the main
// window's event loop runs until it closes. A start-up that failed ends the program there: the
// main window is never shown, not even for a moment. SIGTERM, SIGINT and SIGHUP end the run as a
// close does (app/termination_signals.h).

#include "ui/window_services.h"

class DeviceLibrary;
class Prompter;

// The exit status of the program. The window gets services (all the system's unless a test
// gives its own).
int RunProgram(DeviceLibrary& device, Prompter& prompter, const WindowServices& services = {});
