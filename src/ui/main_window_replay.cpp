// The hidden replay button: a support person puts a saved capture back through the
// normaliser under a debugger. The result is not used.
#include "learning/diagnostic_capture.h"
#include "ui/main_window.h"

void MainWindow::ReplaySavedCaptureClicked() {
    ReplaySavedCapture();
}
