// The main window: template 102 as a resizable dialog. A fixed left column
// holds the cover frame and the export summary; the record text view fills
// the rest, with the message line above it while a file could not be shown
// and the find bar under it while that is open. Its keys and menu entries
// come from kViewerCommands (ui/viewer_commands.h). Every way of showing a
// file (command line, drop, Ctrl+O, F5, Ctrl+PgDown/PgUp) goes through
// OpenBoxFile, which names the file in the title, or says why it cannot be
// shown. The window takes what it needs from the application object (the
// command-line text, and what the about box shows) through the reference
// its opener hands in; it never reaches for the one application object
// itself.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boxfile/box_display.h"
#include "boxfile/loaded_box.h"
#include "picture/cover_picture.h"
#include "render/record_renderer.h"
#include "ui/drop_edit.h"
#include "ui/viewer_commands.h"

class QAction;
class QMenu;
class QPainter;

namespace quorvel {

class CApplikation;
class CCoverFrame;
class CFindBar;
class CMessageLine;
class CTextFeeder;
class CTextZoom;

// Size types of OnSize.
inline constexpr int SIZE_RESTORED = 0;
inline constexpr int SIZE_MINIMIZED = 1;
inline constexpr int SIZE_MAXIMIZED = 2;

// The part of the window manager's size limits the window sets: the smallest
// outer size (frame and caption included) the user can drag to.
struct MinMaxInfo {
    QSize ptMinTrackSize;
};

class CViewerDlg : public QDialog {
    Q_OBJECT
public:
    // `app` must outlive the window.
    explicit CViewerDlg(const CApplikation& app, QWidget* parent = nullptr);
    ~CViewerDlg() override;

    // Runs the window modally; Escape and the close box end it.
    int DoModal() { return exec(); }

    // The first show runs OnInitDialog, so the command-line file is shown
    // before the window is first drawn.
    void setVisible(bool visible) override;

    // Controls by template id (1000, 1001-1008, 1090); nullptr for others.
    QWidget* GetDlgItem(int id) const;
    // The message line's words; empty while it is hidden.
    QString Message() const;
    CDropEdit& TextView() { return m_edit; }
    const CCoverPicture& Picture() const { return m_picture; }
    bool IsInitialized() const { return m_bInitialized; }
    // The path last shown, which F5 shows again; empty before the first.
    const std::string& LastShownPath() const { return m_strLastPath; }

    // Shows a ".box" file and names it in the title; any other name, or a
    // file without a readable header, leaves the window as it was. Why a
    // file is no readable box goes to stderr in one line, and to the message
    // line above the text until a box is shown.
    void OpenBoxFile(const std::string& path);
    // The box being shown (ui/shown_box.h), read from `path`, and let go.
    void LoadBoxFile(const std::string& path);
    void FreeBoxFile();

    // Ctrl+PgDown, Ctrl+PgUp: the next or previous box file of the shown
    // file's folder; nothing at either end.
    void ShowNextFile();
    void ShowPreviousFile();

    // Opened from a collection window: the file the first show opens instead
    // of the command line's, and where Ctrl+PgDown/PgUp go from a path (that
    // window's rows, not the folder's).
    using StepHook =
        std::function<std::optional<std::string>(const std::string& from, bool forward)>;
    void SetStartPath(std::string path) { m_startPath = std::move(path); }
    void SetStepHook(StepHook hook) { m_stepHook = std::move(hook); }
    // Opens a folder as a collection. Set, a folder dropped on the text view
    // goes there and the context menus offer "Sammlung öffnen..."; unset, a
    // dropped folder leaves the window as it was.
    using FolderOpener = std::function<void(const std::string& folder)>;
    void SetFolderOpener(FolderOpener opener) { m_folderOpener = std::move(opener); }
    // "Sammlung öffnen...": a folder dialog, then the opener.
    void OnOpenCollection();

    // Ctrl+F opens the find bar; Escape closes it before it ends the window.
    CFindBar& FindBar() { return *m_findBar; }
    void OpenFindBar();
    void CloseFindBar();
    CTextZoom& Zoom() { return *m_zoom; }

    // The shown file's cover as the box holds it (inflated); empty when the
    // shown file has none, or before the first file.
    const std::vector<unsigned char>& CoverBytes() const { return m_coverBytes; }
    // "Cover speichern unter...".
    void OnSaveCover();

    // Opens the about box, once at a time.
    void ShowAbout();
    // The about entry's command (IDM_ABOUTBOX); others belong to the window
    // manager here.
    void OnSysCommand(unsigned nID, long lParam);
    // F1 raises ID_HELP. True when handled.
    bool OnCommand(unsigned wParam, long lParam);

    // The context menus: the text view's own entries, then the commands
    // placed in each menu (kViewerCommands).
    std::unique_ptr<QMenu> CreateTextViewMenu();
    std::unique_ptr<QMenu> CreateLeftColumnMenu();

    // Ctrl+O: a file dialog for "*.box" and all files.
    void OnFileOpen();
    // F5: the last shown path again.
    void OnRefresh();

protected:
    virtual bool OnInitDialog();
    // Runs the about box modally; its result is not used.
    virtual void RunAboutBox();
    // What a command's action does when triggered.
    virtual void RunCommand(CommandId id);

    void OnSize(int nType, int cx, int cy);
    void OnGetMinMaxInfo(MinMaxInfo* info);
    void OnPaint(QPainter* dc);
    void OnTextSetFocus();
    // The text view's drop notice, connected directly: the file is open
    // before the drop handling returns.
    void OnFileDropped(const std::string& path);
    void ShowBoxFile(const BoxDisplay& display);

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateFromTemplate();
    void CreateCommands();
    void AddMenuCommands(QMenu& menu, CommandMenu which);
    void SetDlgItemText(int id, std::string_view shownUtf8);
    void ApplyMinTrackSize();
    void SizeFromState();
    void StepFile(bool forward);
    // Clears the selection and brings the caret's line into sight, keeping
    // the view's sideways place.
    void RevealCaret();

    CCoverPicture m_picture;
    CDropEdit m_edit;
    QIcon m_hIcon;
    bool m_bAboutOpen = false;
    bool m_bInitialized = false;
    CRecordRenderer m_renderer;
    LoadedBox m_box;  // between LoadBoxFile and FreeBoxFile only

    CCoverFrame* m_cover = nullptr;  // owned by the dialog as a child widget
    std::string m_strLastPath;
    // Where Ctrl+PgDown/PgUp step from: the last file shown or stepped to, so
    // a file that cannot be shown is stepped over rather than stuck on.
    std::string m_strStepPath;
    std::vector<unsigned char> m_coverBytes;
    CMessageLine* m_message = nullptr;  // children of the dialog and the view
    CFindBar* m_findBar = nullptr;
    CTextZoom* m_zoom = nullptr;
    CTextFeeder* m_feeder = nullptr;                           // child of the view
    std::array<QAction*, kViewerCommands.size()> m_actions{};  // children of the dialog
    const CApplikation& m_app;
    std::string m_startPath;
    StepHook m_stepHook;
    FolderOpener m_folderOpener;
};

// Icon group 128: every image in :/res/ICON/128/.
QIcon LoadMainIcon();

}  // namespace quorvel
