// Start-up timing: with QUORVEL_QUIT_AFTER_SHOW set to anything but empty or
// "0", the program ends right after its first window has first been painted,
// so a benchmark (bench/run.py --viewer) can time process start to window
// shown. Without the variable it does nothing.
#pragma once

class QCoreApplication;

namespace quorvel {

void QuitAfterFirstPaintIfAsked(QCoreApplication& app);

}  // namespace quorvel
