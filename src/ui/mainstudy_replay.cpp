// The hidden replay button: a support person puts a saved capture back through the
// normaliser under a debugger. The result is not used.
#include "diagnostic_capture.h"
#include "mainstudy.h"

void Tmainkeylearn::Button1Click() {
    ReplaySavedCapture();
}
