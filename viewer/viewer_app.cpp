#include "viewer/viewer_app.h"

#include "ui/viewer_dlg.h"

namespace quorvel {

CViewerApp g_viewerApp;

bool CViewerApp::InitInstance() {
    CApplikation::InitInstance();
    // Control hosting and the 3-D control look have no counterpart here: Qt
    // draws every control in the platform's style.
    CViewerDlg dialog(*this);
    dialog.DoModal();
    return false;
}

int CViewerApp::ExitInstance() {
    return CApplikation::ExitInstance();
}

}  // namespace quorvel
