#include "viewer/viewer_app.h"

#include <QApplication>
#include <QPointer>
#include <optional>
#include <string>
#include <vector>

#include "app/platform.h"
#include "ui/collection_window.h"
#include "ui/viewer_dlg.h"
#include "ui/viewer_text.h"

namespace quorvel {

CViewerApp g_viewerApp;

bool CViewerApp::InitInstance() {
    CApplikation::InitInstance();
    // A folder on the command line opens as a collection; anything else is
    // the main window's, as it always was.
    std::optional<std::string> folder = CommandLinePath(GetCommandLineText());
    if (folder && !IsDirectory(*folder)) {
        folder.reset();
    }
    if (!folder) {
        // Control hosting and the 3-D control look have no counterpart here:
        // Qt draws every control in the platform's style.
        CViewerDlg dialog(*this);
        // A collection opened from the viewer takes its place.
        dialog.SetFolderOpener([&folder, &dialog](const std::string& chosen) {
            folder = chosen;
            dialog.accept();
        });
        dialog.DoModal();
    }
    if (folder) {
        OpenCollectionWindow(*this, *folder);
        QApplication::exec();
        // Windows still open when the loop was ended from elsewhere stop
        // their index and cover threads before the program ends.
        std::vector<QPointer<CollectionWindow>> open;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* collection = qobject_cast<CollectionWindow*>(window)) {
                open.emplace_back(collection);
            }
        }
        for (const QPointer<CollectionWindow>& window : open) {
            delete window.data();
        }
    }
    return false;
}

int CViewerApp::ExitInstance() {
    return CApplikation::ExitInstance();
}

}  // namespace quorvel
