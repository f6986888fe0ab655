// Not built yet: the video host's subclass (the panel's work). The host
// behaves as a plain edit control until it comes.
#include "app/subsystem_calls_win.h"

namespace zav2 {

void subclassVideoHost(MainWindow&) {}

}  // namespace zav2
