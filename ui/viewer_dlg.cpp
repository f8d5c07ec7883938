#include "ui/viewer_dlg.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTextCursor>
#include <algorithm>

#include "app/applikation.h"
#include "app/text_util.h"
#include "picture/cover_loader.h"
#include "ui/about_dlg.h"
#include "ui/cover_frame.h"
#include "ui/dialog_template.h"
#include "ui/viewer_resources.h"
#include "ui/viewer_text.h"

namespace quorvel {
namespace {

// Qt's file dialog stores its history in the user's settings when it
// closes. This viewer writes no settings, so the user settings location is
// pointed where no folder or file can ever be made.
void KeepSettingsOffDisk() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

}  // namespace

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
    CreateShortcuts();
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

void CViewerDlg::CreateShortcuts() {
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { OnCommand(ID_HELP, 0); });
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(open, &QShortcut::activated, this, &CViewerDlg::OnFileOpen);
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, &CViewerDlg::OnRefresh);
}

QWidget* CViewerDlg::GetDlgItem(int id) const {
    return FindControl(this, id);
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
    if (const std::optional<std::string> path = CommandLinePath(m_app.GetCommandLineText())) {
        OpenBoxFile(*path);
    }
    return true;
}

void CViewerDlg::OpenBoxFile(const std::string& path) {
    const std::string name = path;  // F5 passes our own member
    const BoxDisplay display = quorvel::OpenBoxFile(name, m_renderer, MakeCoverLoader(m_picture));
    if (!display.shown) {
        return;
    }
    m_strLastPath = name;
    ShowBoxFile(display);
}

void CViewerDlg::ShowBoxFile(const BoxDisplay& display) {
    const ShownText shown = TextAsShown(display);
    const std::pair<int, const std::optional<std::string>*> labels[] = {
        {IDC_TYPE, &shown.type},        {IDC_WIDTH, &shown.width},
        {IDC_HEIGHT, &shown.height},    {IDC_COMPRESSION, &shown.compression},
        {IDC_EXPORT_DATE, &shown.date}, {IDC_EXPORT_TIME, &shown.time},
    };
    for (const auto& [id, text] : labels) {
        if (text->has_value()) {
            SetDlgItemText(id, **text);
        }
    }
    // One call for the whole text, also when empty; a new text starts at its
    // first line.
    m_edit.setPlainText(RecordViewText(shown.recordText));
    update();
    repaint();
}

void CViewerDlg::SetDlgItemText(int id, std::string_view shownUtf8) {
    if (auto* label = qobject_cast<QLabel*>(GetDlgItem(id))) {
        label->setText(
            QString::fromUtf8(shownUtf8.data(), static_cast<qsizetype>(shownUtf8.size())));
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
    m_edit.setGeometry(kTextViewLeft, 0, std::max(0, cx - kTextViewLeft), std::max(0, cy));
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
    if (!m_bInitialized) {
        return;
    }
    QTextCursor cursor = m_edit.textCursor();
    cursor.clearSelection();  // the caret stays at the selection's active end
    m_edit.setTextCursor(cursor);
    m_edit.ensureCursorVisible();
}

void CViewerDlg::OnFileDropped(const std::string& path) {
    OpenBoxFile(path);
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

void CViewerDlg::AppendAboutEntry(QMenu& menu) {
    const std::string text = kAboutBoxText;
    if (text.empty()) {
        return;
    }
    menu.addSeparator();
    QAction* about = menu.addAction(QString::fromStdString(Cp1252ToUtf8(text)));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX, 0); });
}

std::unique_ptr<QMenu> CViewerDlg::CreateTextViewMenu() {
    std::unique_ptr<QMenu> menu(m_edit.createStandardContextMenu());
    AppendAboutEntry(*menu);
    return menu;
}

std::unique_ptr<QMenu> CViewerDlg::CreateLeftColumnMenu() {
    auto menu = std::make_unique<QMenu>(this);
    AppendAboutEntry(*menu);
    return menu;
}

void CViewerDlg::OnFileOpen() {
    KeepSettingsOffDisk();
    const QString start =
        m_strLastPath.empty()
            ? QDir::currentPath()
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_strLastPath))).absolutePath();
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
