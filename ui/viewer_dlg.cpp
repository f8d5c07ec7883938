#include "ui/viewer_dlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>

#include "app/applikation.h"
#include "app/platform.h"
#include "app/terminal_text.h"
#include "boxfile/box_loader.h"
#include "picture/cover_loader.h"
#include "ui/about_dlg.h"
#include "ui/cover_frame.h"
#include "ui/cover_saver.h"
#include "ui/dialog_template.h"
#include "ui/find_bar.h"
#include "ui/folder_stepper.h"
#include "ui/message_line.h"
#include "ui/no_settings.h"
#include "ui/qt_strings.h"
#include "ui/shortcut_keys.h"
#include "ui/shown_box.h"
#include "ui/tab_layout.h"
#include "ui/text_feeder.h"
#include "ui/text_zoom.h"
#include "ui/viewer_resources.h"
#include "ui/viewer_text.h"

namespace quorvel {

QIcon LoadMainIcon() {
    QIcon icon;
    const QDir group(QStringLiteral(":/res/ICON/%1").arg(IDR_MAINFRAME));
    for (const QString& name : group.entryList(QDir::Files)) {
        icon.addFile(group.filePath(name));
    }
    return icon;
}

CViewerDlg::CViewerDlg(const CApplikation& app, QWidget* parent)
    : QDialog(parent), m_edit(this), m_hIcon(LoadMainIcon()), m_app(app) {
    CreateFromTemplate();
    m_message = new CMessageLine(this);
    // After the template, so both start from the view's own font.
    new CValueColumn(m_edit);
    m_zoom = new CTextZoom(m_edit);
    m_findBar = new CFindBar(m_edit, this);
    m_feeder = new CTextFeeder(m_edit);
    CreateCommands();
    m_cover->SetPaintOver([this](QPainter* dc) { OnPaint(dc); });
    connect(&m_edit, &CDropEdit::TextSetFocus, this, &CViewerDlg::OnTextSetFocus);
    m_edit.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_edit, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu = CreateTextViewMenu();
        menu->exec(m_edit.viewport()->mapToGlobal(pos));
    });
    ApplyMinTrackSize();
}

CViewerDlg::~CViewerDlg() = default;

void CViewerDlg::CreateFromTemplate() {
    setWindowTitle(QString::fromUtf8(kCaption));
    DialogTemplate dialog(*this, DialogTemplate::Frame::MainWindow, kTemplateWidthDu,
                          kTemplateHeightDu);

    for (const TemplateControl& c : kViewerTemplate) {
        QWidget* control = nullptr;
        switch (c.kind) {
            case ControlKind::TextView:
                control = &m_edit;
                break;
            case ControlKind::PictureFrame:
                m_cover = new CCoverFrame(this);
                control = m_cover;
                break;
            case ControlKind::Label: {
                auto* label = new QLabel(LabelText(c.text), this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                control = label;
                break;
            }
        }
        dialog.Add(control, c.id, QRect(c.x, c.y, c.width, c.height), QString::fromLatin1(c.name));
    }
}

void CViewerDlg::CreateCommands() {
    for (size_t i = 0; i < kViewerCommands.size(); ++i) {
        const ViewerCommand& command = kViewerCommands[i];
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(command.name));
        if (command.menuText != nullptr) {
            action->setText(QString::fromUtf8(command.menuText));
        }
        // Window-wide, as the action is the dialog's.
        action->setShortcuts(ShortcutsOf(command.keys));
        addAction(action);
        connect(action, &QAction::triggered, this, [this, id = command.id] { RunCommand(id); });
        m_actions[i] = action;
    }
}

void CViewerDlg::RunCommand(CommandId id) {
    switch (id) {
        case CommandId::kAbout:
            OnCommand(ID_HELP, 0);  // F1 raises the help command; the menu entry too
            break;
        case CommandId::kOpen:
            OnFileOpen();
            break;
        case CommandId::kRefresh:
            OnRefresh();
            break;
        case CommandId::kNextFile:
            ShowNextFile();
            break;
        case CommandId::kPreviousFile:
            ShowPreviousFile();
            break;
        case CommandId::kFind:
            OpenFindBar();
            break;
        case CommandId::kFindNext:
            OpenFindBar();
            m_findBar->FindNext();
            break;
        case CommandId::kFindPrevious:
            OpenFindBar();
            m_findBar->FindPrevious();
            break;
        case CommandId::kZoomIn:
            m_zoom->ZoomIn();
            break;
        case CommandId::kZoomOut:
            m_zoom->ZoomOut();
            break;
        case CommandId::kZoomReset:
            m_zoom->Reset();
            break;
        case CommandId::kSaveCover:
            OnSaveCover();
            break;
        case CommandId::kOpenCollection:
            OnOpenCollection();
            break;
        case CommandId::kEscape:
            // The dialog's Cancel, once the find bar is closed.
            if (m_findBar->isVisible()) {
                CloseFindBar();
            } else {
                reject();
            }
            break;
    }
}

QWidget* CViewerDlg::GetDlgItem(int id) const {
    return FindControl(this, id);
}

QString CViewerDlg::Message() const {
    return m_message->isHidden() ? QString() : m_message->text();
}

void CViewerDlg::setVisible(bool visible) {
    if (visible && !m_bInitialized && OnInitDialog()) {
        // As a dialog does for its first control: the edit's whole text is
        // selected just before it gets the focus; OnTextSetFocus then
        // leaves the caret at the end.
        m_edit.selectAll();
        m_edit.setFocus(Qt::TabFocusReason);
    }
    QDialog::setVisible(visible);
}

bool CViewerDlg::OnInitDialog() {
    // The controls were made from the template with the window, and the
    // text view is this class's own member: there is nothing left to bind.
    m_bInitialized = true;
    // Direct, so the dropped file is shown before the drop returns.
    connect(&m_edit, &CDropEdit::FileDropped, this, &CViewerDlg::OnFileDropped,
            static_cast<Qt::ConnectionType>(Qt::DirectConnection | Qt::UniqueConnection));
    // The about entry lives in the context menus, built when they open,
    // because window managers own the window menu.
    setWindowIcon(m_hIcon);
    m_picture.LoadFromResource(IDR_DEFAULT_COVER, kDefaultCoverType);
    const std::string commandLine = m_app.GetCommandLineText();
    if (!m_startPath.empty()) {
        OpenBoxFile(m_startPath);
    } else if (const std::optional<std::string> path = CommandLinePath(commandLine)) {
        // Options alone name no file: the window has nothing to open, and
        // nothing to say about it (a ".box" name is still tried).
        if (!OptionsOnly(commandLine) || HasBoxExtension(*path)) {
            OpenBoxFile(*path);
        }
    }
    return true;
}

void CViewerDlg::OpenBoxFile(const std::string& path) {
    const std::string name = path;  // F5 passes our own member
    BoxDisplay display;
    std::vector<unsigned char> cover;
    if (!HasBoxExtension(name)) {
        display.boxName = false;
    } else {
        LoadBoxFile(name);
        display = quorvel::ShowBoxFile(m_box, m_renderer, MakeCoverLoader(m_picture));
        // The cover as the box holds it, for "Cover speichern unter...",
        // when it is a picture.
        if (g_pCoverBlock != nullptr && display.width) {
            cover.assign(g_pCoverBlock, g_pCoverBlock + g_nCoverSize);
        }
        FreeBoxFile();
    }
    // On stderr the dump tool's words; in the window German ones, until a
    // box is shown.
    const std::string problem = DisplayProblem(display);
    if (!problem.empty()) {
        std::fprintf(stderr, "quorvel: %s: %s\n", ForStderr(name).c_str(),
                     ForStderr(problem).c_str());
        std::fflush(stderr);
        m_message->Say(NotShownMessage(name, display),
                       QString::fromStdString(MakeVisible(SanitizeUtf8(name))));
    } else if (display.shown) {
        m_message->Clear();
    }
    SizeFromState();
    if (!display.shown) {
        return;
    }
    m_strLastPath = name;
    m_strStepPath = name;
    m_coverBytes = std::move(cover);
    setWindowTitle(WindowTitle(name));
    ShowBoxFile(display);
}

void CViewerDlg::LoadBoxFile(const std::string& path) {
    static constexpr unsigned char kNoBytes = 0;  // a present block may be empty
    m_box = LoadBox(path);
    const auto bytesOf = [](const BoxBlock& block) {
        return !block.Present()        ? nullptr
               : block.Bytes().empty() ? &kNoBytes
                                       : block.Bytes().data();
    };
    g_pBoxHeader = m_box.Header();
    g_pCoverBlock = bytesOf(m_box.Cover());
    g_nCoverSize = static_cast<int32_t>(m_box.Cover().Bytes().size());
    g_pDataBlock = bytesOf(m_box.Data());
    g_nDataSize = static_cast<int32_t>(m_box.Data().Bytes().size());
}

void CViewerDlg::FreeBoxFile() {
    g_pBoxHeader = nullptr;
    g_pCoverBlock = nullptr;
    g_nCoverSize = 0;
    g_pDataBlock = nullptr;
    g_nDataSize = 0;
    m_box = LoadedBox();
}

void CViewerDlg::ShowBoxFile(const BoxDisplay& display) {
    const std::pair<int, const std::optional<std::string>*> labels[] = {
        {IDC_TYPE, &display.type},        {IDC_WIDTH, &display.width},
        {IDC_HEIGHT, &display.height},    {IDC_COMPRESSION, &display.compression},
        {IDC_EXPORT_DATE, &display.date}, {IDC_EXPORT_TIME, &display.time},
    };
    for (const auto& [id, text] : labels) {
        if (text->has_value()) {
            SetDlgItemText(id, LabelAsShown(**text));
        }
    }
    // One call for the whole text, also when empty; a new text starts at its
    // first line. A text of very many lines arrives in slices after this;
    // where the caret followed it to the end, the last line comes into sight
    // once it is all in, as it would have at once.
    m_feeder->SetText(RecordViewText(display.text), [this] {
        if (m_edit.textCursor().atEnd()) {
            RevealCaret();
        }
    });
    update();
    repaint();
}

void CViewerDlg::SetDlgItemText(int id, std::string_view shownUtf8) {
    if (auto* label = qobject_cast<QLabel*>(GetDlgItem(id))) {
        label->setText(FromUtf8(shownUtf8));
    }
}

void CViewerDlg::OnPaint(QPainter* dc) {
    // Fixed rectangle: it follows neither the frame's nor the picture's size.
    m_picture.Render(dc, PictureRect{0, 0, kPictureRight, kPictureBottom});
}

void CViewerDlg::OnSize(int /*nType*/, int cx, int cy) {
    if (!m_bInitialized) {
        return;  // sizes while the window is being made keep the template's place
    }
    const int width = std::max(0, cx - kTextViewLeft);
    // The message line, while it speaks, takes its height from the top of
    // the text view, the find bar, while open, from under it.
    const int message = m_message->HeightAt(width, cy / 2);
    const int bar =
        m_findBar->isVisible() ? std::min(cy - message, m_findBar->sizeHint().height()) : 0;
    m_edit.setGeometry(kTextViewLeft, message, width, std::max(0, cy - message - bar));
    if (message > 0) {
        m_message->setGeometry(kTextViewLeft, 0, width, message);
    }
    if (bar > 0) {
        m_findBar->setGeometry(kTextViewLeft, cy - bar, width, bar);
    }
}

void CViewerDlg::OpenFindBar() {
    if (!m_findBar->isVisible()) {
        m_findBar->Open();
        SizeFromState();
    } else {
        m_findBar->Open();
    }
}

void CViewerDlg::CloseFindBar() {
    m_findBar->Close();
    SizeFromState();
}

void CViewerDlg::ShowNextFile() {
    StepFile(true);
}

void CViewerDlg::ShowPreviousFile() {
    StepFile(false);
}

void CViewerDlg::StepFile(bool forward) {
    if (m_strStepPath.empty()) {
        return;
    }
    const std::optional<std::string> next =
        m_stepHook ? m_stepHook(m_strStepPath, forward)
                   : NeighbourBoxFile(m_strStepPath,
                                      forward ? StepDirection::kNext : StepDirection::kPrevious);
    if (!next) {
        return;
    }
    OpenBoxFile(*next);
    m_strStepPath = *next;
}

void CViewerDlg::OnSaveCover() {
    if (!m_coverBytes.empty()) {
        SaveCoverAs(this, m_strLastPath, m_coverBytes);
    }
}

void CViewerDlg::SizeFromState() {
    // A minimised window has no client area; Qt keeps the old size meanwhile.
    if (isMinimized()) {
        OnSize(SIZE_MINIMIZED, 0, 0);
    } else {
        OnSize(isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED, width(), height());
    }
}

void CViewerDlg::OnGetMinMaxInfo(MinMaxInfo* info) {
    info->ptMinTrackSize = QSize(kMinTrackWidth, kMinTrackHeight);
}

void CViewerDlg::ApplyMinTrackSize() {
    MinMaxInfo info{minimumSize()};
    OnGetMinMaxInfo(&info);
    // Qt limits the client area; the limit is meant for the outer size.
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(std::max(0, info.ptMinTrackSize.width() - frame.width()),
                   std::max(0, info.ptMinTrackSize.height() - frame.height()));
}

void CViewerDlg::OnTextSetFocus() {
    if (m_bInitialized) {
        RevealCaret();
    }
}

void CViewerDlg::RevealCaret() {
    // The caret's line comes into sight, but the view keeps its sideways
    // place: scrolled to a long last line's end, the first view would be
    // mostly empty.
    QScrollBar* across = m_edit.horizontalScrollBar();
    const int left = across->value();
    QTextCursor cursor = m_edit.textCursor();
    cursor.clearSelection();  // the caret stays at the selection's active end
    m_edit.setTextCursor(cursor);
    m_edit.ensureCursorVisible();
    across->setValue(left);
}

void CViewerDlg::OnFileDropped(const std::string& path) {
    if (m_folderOpener && IsDirectory(path)) {
        m_folderOpener(path);
        return;
    }
    OpenBoxFile(path);
}

void CViewerDlg::OnOpenCollection() {
    if (!m_folderOpener) {
        return;
    }
    KeepSettingsOffDisk();
    const QString start = m_strLastPath.empty()
                              ? QDir::currentPath()
                              : QFileInfo(FromLocalPath(m_strLastPath)).absolutePath();
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Sammlung öffnen"), start,
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        m_folderOpener(QFile::encodeName(chosen).toStdString());
    }
}

void CViewerDlg::ShowAbout() {
    if (m_bAboutOpen) {
        return;
    }
    m_bAboutOpen = true;
    RunAboutBox();
    m_bAboutOpen = false;
}

void CViewerDlg::RunAboutBox() {
    CAboutDlg about(m_app);
    about.exec();
}

void CViewerDlg::OnSysCommand(unsigned nID, long /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAbout();
    }
}

bool CViewerDlg::OnCommand(unsigned wParam, long /*lParam*/) {
    if ((wParam & 0xFFFF) == ID_HELP) {
        ShowAbout();
        return true;
    }
    return false;
}

void CViewerDlg::AddMenuCommands(QMenu& menu, CommandMenu which) {
    for (size_t i = 0; i < kViewerCommands.size(); ++i) {
        const ViewerCommand& command = kViewerCommands[i];
        if ((command.menus & which) == 0 ||
            (command.id == CommandId::kOpenCollection && !m_folderOpener)) {
            continue;
        }
        if (command.separatorBefore && !menu.isEmpty()) {
            menu.addSeparator();
        }
        m_actions[i]->setEnabled(!command.needsCover || !m_coverBytes.empty());
        menu.addAction(m_actions[i]);
    }
}

std::unique_ptr<QMenu> CViewerDlg::CreateTextViewMenu() {
    std::unique_ptr<QMenu> menu(m_edit.createStandardContextMenu());
    AddMenuCommands(*menu, kTextViewMenu);
    return menu;
}

std::unique_ptr<QMenu> CViewerDlg::CreateLeftColumnMenu() {
    auto menu = std::make_unique<QMenu>(this);
    AddMenuCommands(*menu, kLeftColumnMenu);
    return menu;
}

void CViewerDlg::OnFileOpen() {
    KeepSettingsOffDisk();
    const QString start = m_strLastPath.empty()
                              ? QDir::currentPath()
                              : QFileInfo(FromLocalPath(m_strLastPath)).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(
        this,
        QString::fromUtf8("Box-Datei \xC3\xB6"
                          "ffnen"),
        start, QString::fromUtf8("Box-Dateien (*.box);;Alle Dateien (*)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        OpenBoxFile(QFile::encodeName(chosen).toStdString());
    }
}

void CViewerDlg::OnRefresh() {
    if (!m_strLastPath.empty()) {
        OpenBoxFile(m_strLastPath);
    }
}

void CViewerDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeFromState();
    ApplyMinTrackSize();
}

void CViewerDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        SizeFromState();
    }
}

void CViewerDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyMinTrackSize();
}

void CViewerDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    ApplyMinTrackSize();  // the frame's size is known once the window is placed
}

void CViewerDlg::contextMenuEvent(QContextMenuEvent* event) {
    // Only the left column gets here: the text view has its own menu.
    const std::unique_ptr<QMenu> menu = CreateLeftColumnMenu();
    menu->exec(event->globalPos());
}

}  // namespace quorvel
