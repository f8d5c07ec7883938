// The viewer's application object: start-up, then the main window, modally.
// It hands itself to the window, which takes what it needs from it.
#pragma once

#include "app/applikation.h"

namespace quorvel {

class CViewerApp : public CApplikation {
public:
    CViewerApp() = default;
    ~CViewerApp() override = default;

    // Runs the base start-up, then the main dialog; false, so the program ends
    // when the dialog closes.
    bool InitInstance() override;
    int ExitInstance() override;
};

// The one application object.
extern CViewerApp g_viewerApp;

}  // namespace quorvel
