#include "ui/collection_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "app/applikation.h"
#include "collection/cache_path.h"
#include "picture/thumbnail_cache.h"
#include "ui/about_dlg.h"
#include "ui/collection_commands.h"
#include "ui/collection_feed.h"
#include "ui/collection_model.h"
#include "ui/collection_texts.h"
#include "ui/cover_grid_delegate.h"
#include "ui/cover_thumbnails.h"
#include "ui/list_export.h"
#include "ui/no_settings.h"
#include "ui/problem_list_dlg.h"
#include "ui/qt_strings.h"
#include "ui/shortcut_keys.h"
#include "ui/viewer_dlg.h"

namespace quorvel {
namespace {

// What the thumbnails say made them, as the cache's rules ask.
std::string SoftwareName(const CApplikation& app) {
    std::string version, product, comments, legal;
    return app.GetVersionInfo(version, product, comments, legal) && !version.empty()
               ? "Quorvel " + version
               : std::string("Quorvel");
}

// The update starts this long after the rows were first painted: the
// first frames (the covers in sight, a first key) get the processor first.
constexpr int kUpdateAfterPaintMs = 100;
// A window shown but never painted starts its update after this long.
constexpr int kStartAfterMs = 500;
// How long the status bar says what an export wrote.
constexpr int kExportNoteMs = 15000;

struct ColumnWidth {
    int column;
    int width;
};
constexpr ColumnWidth kColumnWidths[] = {
    {kCoverColumn, CoverThumbnails::kSmallHeight + 8},
    {kTitleColumn, 300},
    {kHitsColumn, 260},
    {kDvdsColumn, 50},
    {kFilmsColumn, 50},
    {kYearsColumn, 90},
    {kFskColumn, 45},
    {kGenreColumn, 150},
    {kEanColumn, 120},
    {kFileColumn, 170},
};

}  // namespace

CollectionWindow::CollectionWindow(const CApplikation& app, const std::string& folder,
                                   QWidget* parent)
    : QMainWindow(parent),
      m_app(app),
      m_feed(new CollectionFeed(folder, this)),
      m_model(new CollectionModel(this)),
      m_covers(new CoverThumbnails(ThumbnailCache::DefaultRoot(), SoftwareName(app), this)) {
    const QFileInfo info(FromLocalPath(Folder()));
    setWindowTitle(QStringLiteral("%1 \u2013 Quorvel-Sammlung")
                       .arg(info.fileName().isEmpty() ? info.filePath() : info.fileName()));
    setWindowIcon(LoadMainIcon());
    m_model->SetCoverSource(m_covers);
    BuildViews();
    BuildStatusBar();
    BuildActions();

    connect(m_feed, &CollectionFeed::Searched, this, &CollectionWindow::OnSearched);
    connect(m_feed, &CollectionFeed::FilmsMatched, this, &CollectionWindow::OnFilmsMatched);
    connect(m_feed, &CollectionFeed::RowsChanged, this, &CollectionWindow::OnRowsChanged);
    connect(m_feed, &CollectionFeed::Progress, this, &CollectionWindow::OnProgress);
    connect(m_feed, &CollectionFeed::UpdateFinished, this, &CollectionWindow::OnUpdateFinished);
    connect(m_feed, &CollectionFeed::UpdateFailed, this, [this](const QString& why) {
        m_progress->hide();
        m_failure = QStringLiteral("Der Index kann nicht aufgefrischt werden: ") + why;
        UpdateMessage();
    });
    connect(m_model, &CollectionModel::CountsChanged, this, &CollectionWindow::OnCountsChanged);
    // The rows are made anew on every change: the current one stays current.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_keptPath = m_model->PathAt(CurrentRow()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        const int row = m_model->RowOf(m_keptPath);
        SetCurrentRow(row >= 0 ? row : 0);
    });

    if (m_feed->Index().InMemory()) {
        m_notice = QStringLiteral(
                       "Der Index kann in \u201E%1\u201C nicht gespeichert werden; er wird nur "
                       "f\u00FCr diese Sitzung im Speicher gehalten.")
                       .arg(FromLocalPath(CacheFolder()));
    } else if (!m_feed->Index().Notice().empty()) {
        m_notice =
            QStringLiteral("Der gespeicherte Index war besch\u00E4digt und wird neu aufgebaut.");
    }
    // What the index holds already is there at the first paint.
    m_model->SetBoxes(m_feed->ListNow());
    if (m_model->rowCount() > 0) {
        SetCurrentRow(0);
    }
    UpdateMessage();
    resize(1000, 640);
}

CollectionWindow::~CollectionWindow() {
    // The viewer first: its stepping asks this window.
    delete m_viewer;
    m_viewer = nullptr;
}

const std::string& CollectionWindow::Folder() const {
    return m_feed->Folder();
}

void CollectionWindow::BuildViews() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);

    m_search = new QLineEdit(central);
    m_search->setPlaceholderText(
        QStringLiteral("Suchen: Titel, Person, Genre, Sprache, EAN \u2013 jahr:1990-1999 fsk:12"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("Suche"));
    m_search->setAccessibleDescription(QStringLiteral(
        "Zeigt beim Tippen die Boxen, deren Titel, Personen, Genres, Sprachen oder EAN die "
        "W\u00F6rter enthalten; Eingabe \u00F6ffnet die gew\u00E4hlte Box"));
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &CollectionWindow::OnSearchEdited);
    layout->addWidget(m_search);

    m_message = new QLabel(central);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setAccessibleName(QStringLiteral("Hinweis"));
    m_message->setFrameShape(QFrame::StyledPanel);
    m_message->setMargin(4);
    m_message->hide();
    layout->addWidget(m_message);

    m_stack = new QStackedWidget(central);
    m_table = new QTableView(m_stack);
    m_table->setModel(m_model);
    m_table->setAccessibleName(QStringLiteral("Boxen als Liste"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    m_table->setAlternatingRowColors(true);
    m_table->setTabKeyNavigation(false);
    // Fixed heights: the view never measures 10,000 rows.
    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(CoverThumbnails::kSmallHeight + 4);
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setSortIndicatorClearable(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setStretchLastSection(true);
    for (const ColumnWidth& w : kColumnWidths) {
        m_table->setColumnWidth(w.column, w.width);
    }
    m_table->setColumnHidden(kHitsColumn, true);
    m_table->setSortingEnabled(true);
    m_stack->addWidget(m_table);

    m_grid = new QListView(m_stack);
    m_grid->setModel(m_model);
    m_grid->setModelColumn(kTitleColumn);
    m_grid->setAccessibleName(QStringLiteral("Boxen als Coverraster"));
    m_grid->setViewMode(QListView::IconMode);
    m_grid->setMovement(QListView::Static);
    m_grid->setResizeMode(QListView::Adjust);
    m_grid->setUniformItemSizes(true);
    m_grid->setSpacing(4);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setItemDelegate(new CoverGridDelegate(m_grid));
    m_stack->addWidget(m_grid);
    layout->addWidget(m_stack, 1);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_table), static_cast<QAbstractItemView*>(m_grid)}) {
        connect(view, &QAbstractItemView::activated, this,
                [this](const QModelIndex& index) { OpenRow(index.row()); });
    }
    setCentralWidget(central);
    setFocusProxy(m_search);
    m_search->setFocus();
}

void CollectionWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setAccessibleName(QStringLiteral("Statuszeile"));
    m_counts = new QLabel(bar);
    m_counts->setAccessibleName(QStringLiteral("Gezeigte Boxen und Filme"));
    bar->addWidget(m_counts);
    m_problems = new QToolButton(bar);
    m_problems->setAutoRaise(true);
    m_problems->setAccessibleName(QStringLiteral("Nicht lesbare Dateien"));
    m_problems->setToolTip(
        QStringLiteral("Zeigt, welche Dateien nicht gelesen werden konnten, und warum"));
    m_problems->hide();
    connect(m_problems, &QToolButton::clicked, this, &CollectionWindow::ShowProblems);
    bar->addWidget(m_problems);
    m_progress = new QProgressBar(bar);
    m_progress->setAccessibleName(QStringLiteral("Fortschritt des Einlesens"));
    m_progress->setMinimumWidth(260);
    m_progress->setTextVisible(true);
    m_progress->hide();
    bar->addPermanentWidget(m_progress);
}

void CollectionWindow::BuildActions() {
    std::map<CollectionMenu, QMenu*> menus;
    QMenu* collection = menuBar()->addMenu(QStringLiteral("&Sammlung"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    menus[CollectionMenu::kCollection] = collection;
    menus[CollectionMenu::kEdit] = edit;
    menus[CollectionMenu::kView] = view;
    menus[CollectionMenu::kSortBy] = view->addMenu(QStringLiteral("&Sortieren nach"));
    menus[CollectionMenu::kHelp] = help;

    for (const CollectionCommand& command : kCollectionCommands) {
        if (command.id == CollectionCommandId::kClose) {
            collection->addSeparator();
        }
        QAction* action = menus[command.menu]->addAction(QString::fromUtf8(command.text));
        action->setObjectName(QString::fromLatin1(command.name));
        action->setShortcuts(ShortcutsOf(command.keys));
        action->setShortcutContext(Qt::WindowShortcut);
        switch (command.id) {
            case CollectionCommandId::kOpenCollection:
                connect(action, &QAction::triggered, this, &CollectionWindow::OnOpenCollection);
                break;
            case CollectionCommandId::kRefresh:
                connect(action, &QAction::triggered, m_feed, &CollectionFeed::Update);
                break;
            case CollectionCommandId::kExport:
                connect(action, &QAction::triggered, this, &CollectionWindow::OnExport);
                break;
            case CollectionCommandId::kProblems:
                connect(action, &QAction::triggered, this, &CollectionWindow::ShowProblems);
                break;
            case CollectionCommandId::kClose:
                connect(action, &QAction::triggered, this, &QWidget::close);
                break;
            case CollectionCommandId::kFind:
                connect(action, &QAction::triggered, this, [this] {
                    m_search->setFocus(Qt::ShortcutFocusReason);
                    m_search->selectAll();
                });
                break;
            case CollectionCommandId::kCopyPaths:
                connect(action, &QAction::triggered, this, &CollectionWindow::CopyPaths);
                break;
            case CollectionCommandId::kOpenBox:
                connect(action, &QAction::triggered, this,
                        [this] { OpenRow(std::max(0, CurrentRow())); });
                break;
            case CollectionCommandId::kGrid:
                action->setCheckable(true);
                connect(action, &QAction::toggled, this, &CollectionWindow::ShowGrid);
                break;
            case CollectionCommandId::kSort:
                connect(action, &QAction::triggered, this,
                        [this, column = command.column] { SortBy(column); });
                break;
            case CollectionCommandId::kAbout:
                connect(action, &QAction::triggered, this, &CollectionWindow::ShowAbout);
                break;
        }
    }
    // The rows' own menu: what concerns the selected boxes.
    for (QAbstractItemView* rowsView :
         {static_cast<QAbstractItemView*>(m_table), static_cast<QAbstractItemView*>(m_grid)}) {
        rowsView->setContextMenuPolicy(Qt::ActionsContextMenu);
        for (const char* name : {"openBox", "copyPaths", "grid", "export", "openCollection"}) {
            rowsView->addAction(Action(name));
        }
    }
}

QAction* CollectionWindow::Action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

QAbstractItemView& CollectionWindow::CurrentView() {
    if (m_stack->currentWidget() == m_grid) {
        return *m_grid;
    }
    return *m_table;
}

bool CollectionWindow::Updating() const {
    return !m_started || m_feed->Updating();
}

void CollectionWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_started) {
        // The update starts once the rows the index holds are painted, so
        // they are seen at once; a window that never paints starts it anyway.
        m_table->viewport()->installEventFilter(this);
        m_grid->viewport()->installEventFilter(this);
        QTimer::singleShot(kStartAfterMs, this, &CollectionWindow::StartFeed);
    }
}

void CollectionWindow::StartFeed() {
    if (m_started) {
        return;
    }
    m_started = true;
    m_table->viewport()->removeEventFilter(this);
    m_grid->viewport()->removeEventFilter(this);
    m_feed->Start();
}

bool CollectionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !m_started &&
        (watched == m_table->viewport() || watched == m_grid->viewport())) {
        QTimer::singleShot(kUpdateAfterPaintMs, this, &CollectionWindow::StartFeed);
    }
    if (watched == m_search && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        !m_search->hasSelectedText()) {
        // Nothing selected in the field to copy: Ctrl+C copies the rows' paths.
        event->ignore();
        return true;
    }
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Home:
            case Qt::Key_End: {
                if (key->modifiers() != Qt::ControlModifier) {
                    break;  // the field's own
                }
                // Ctrl+Home and Ctrl+End: the first and the last row.
                SetCurrentRow(key->key() == Qt::Key_Home ? 0 : m_model->rowCount() - 1);
                CurrentView().scrollTo(CurrentView().currentIndex());
                return true;
            }
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                // The rows move under the search field, so typing goes on.
                QApplication::sendEvent(&CurrentView(), event);
                return true;
            case Qt::Key_Escape:
                if (!m_search->text().isEmpty()) {
                    m_search->clear();
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CollectionWindow::OnSearchEdited(const QString& text) {
    m_query = text.trimmed();
    if (m_query.isEmpty()) {
        m_table->setColumnHidden(kHitsColumn, true);
        m_model->ClearSearch();
        CurrentView().scrollTo(CurrentView().currentIndex(), QAbstractItemView::PositionAtCenter);
        m_feed->Search(QString());  // an answer still on its way is not shown
        return;
    }
    m_feed->Search(m_query);
}

void CollectionWindow::OnSearched(const QString& query, const std::vector<BoxHit>& hits) {
    if (m_query.isEmpty() || query != m_query) {
        return;
    }
    m_model->SetSearchResult(hits);
    m_table->setColumnHidden(kHitsColumn, false);
    SetCurrentRow(0);
    CurrentView().scrollToTop();
}

void CollectionWindow::OnFilmsMatched(const QString& query, const std::vector<BoxHit>& hits) {
    if (m_query.isEmpty() || query != m_query) {
        return;
    }
    m_model->AddMatchedFilms(hits);
}

void CollectionWindow::OnRowsChanged(const std::vector<BoxRow>& stored,
                                     const std::vector<int64_t>& removed) {
    // The rows are made anew: the current row and the first one in sight
    // stay where they were.
    QAbstractItemView& view = CurrentView();
    const std::string top = m_model->PathAt(view.indexAt(QPoint(1, 1)).row());
    m_model->UpdateBoxes(stored, removed);
    if (const int row = m_model->RowOf(top); row >= 0) {
        view.scrollTo(m_model->index(row, kTitleColumn), QAbstractItemView::PositionAtTop);
    }
    if (!m_query.isEmpty()) {
        m_feed->Search(m_query);  // new and changed boxes may match
    }
}

void CollectionWindow::OnProgress(qint64 done, qint64 found) {
    if (done >= found) {
        m_progress->hide();
        return;
    }
    m_progress->setMaximum(static_cast<int>(std::min<qint64>(found, INT32_MAX)));
    m_progress->setValue(static_cast<int>(std::min<qint64>(done, INT32_MAX)));
    m_progress->setFormat(ProgressText(done, found));
    m_progress->show();
}

void CollectionWindow::OnUpdateFinished(const IndexSummary& summary) {
    m_progress->hide();
    m_failure.clear();
    m_folderProblem.clear();
    std::vector<IndexProblem> folders;
    for (const IndexProblem& problem : summary.problems) {
        if (problem.path == Folder()) {
            m_folderProblem =
                QStringLiteral("Der Ordner \u201E%1\u201C kann nicht gelesen werden: %2")
                    .arg(FromLocalPath(problem.path), QString::fromStdString(problem.reason));
        }
        folders.push_back(problem);
    }
    m_model->SetFolderProblems(std::move(folders));
    UpdateMessage();
}

void CollectionWindow::OnCountsChanged() {
    const CollectionModel::Counts counts = m_model->GetCounts();
    m_counts->setText(
        quorvel::CountsText(counts.shownBoxes, counts.boxes, counts.shownFilms, counts.films));
    const auto problems = static_cast<int64_t>(m_model->ProblemCount());
    m_problems->setVisible(problems > 0);
    m_problems->setText(ProblemCountText(problems, m_model->ProblemsIncludeFolders()));
    Action("problems")->setEnabled(problems > 0);
}

QString CollectionWindow::CountsText() const {
    return m_counts->text();
}

QString CollectionWindow::ProblemsText() const {
    return m_problems->isHidden() ? QString() : m_problems->text();
}

QString CollectionWindow::Message() const {
    return m_message->text();
}

void CollectionWindow::UpdateMessage() {
    QStringList lines;
    for (const QString& line : {m_folderProblem, m_failure, m_notice}) {
        if (!line.isEmpty()) {
            lines.append(line);
        }
    }
    m_message->setText(lines.join(QLatin1Char('\n')));
    m_message->setVisible(!lines.isEmpty());
}

int CollectionWindow::CurrentRow() {
    return CurrentView().currentIndex().row();
}

void CollectionWindow::SetCurrentRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_table), static_cast<QAbstractItemView*>(m_grid)}) {
        view->selectionModel()->setCurrentIndex(
            m_model->index(row, kTitleColumn),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void CollectionWindow::OpenRow(int row) {
    const std::string path = m_model->PathAt(row);
    if (path.empty()) {
        return;
    }
    if (m_viewer == nullptr) {
        m_viewer = new CViewerDlg(m_app, this);
        m_viewer->SetStartPath(path);
        m_viewer->SetStepHook(
            [this](const std::string& from, bool forward) { return StepFrom(from, forward); });
        m_viewer->SetFolderOpener([this](const std::string& folder) {
            OpenCollectionWindow(m_app, folder, GridShown());
        });
    } else {
        m_viewer->OpenBoxFile(path);
    }
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
}

std::optional<std::string> CollectionWindow::StepFrom(const std::string& path, bool forward) {
    const int rows = m_model->rowCount();
    if (rows == 0) {
        return std::nullopt;
    }
    const int at = m_model->RowOf(path);
    const int next = at < 0 ? (forward ? 0 : rows - 1) : at + (forward ? 1 : -1);
    if (next < 0 || next >= rows) {
        return std::nullopt;
    }
    SetCurrentRow(next);
    CurrentView().scrollTo(CurrentView().currentIndex());
    return m_model->PathAt(next);
}

void CollectionWindow::ShowGrid(bool grid) {
    const int row = CurrentRow();
    const bool focused = CurrentView().hasFocus();
    m_stack->setCurrentWidget(grid ? static_cast<QWidget*>(m_grid) : m_table);
    if (QAction* toggle = Action("grid"); toggle->isChecked() != grid) {
        toggle->setChecked(grid);
    }
    SetCurrentRow(row);
    CurrentView().scrollTo(CurrentView().currentIndex(), QAbstractItemView::PositionAtCenter);
    if (focused) {
        CurrentView().setFocus();
    }
}

bool CollectionWindow::GridShown() const {
    return m_stack->currentWidget() == m_grid;
}

void CollectionWindow::SortBy(int column) {
    QHeaderView* header = m_table->horizontalHeader();
    // Asked again for the same column: the other way round.
    const Qt::SortOrder order =
        column == m_model->SortColumn() && m_model->SortOrder() == Qt::AscendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    header->setSortIndicator(column, order);  // sorts the model through the view
    CurrentView().scrollTo(CurrentView().currentIndex());
}

void CollectionWindow::CopyPaths() {
    QModelIndexList selected = CurrentView().selectionModel()->selectedIndexes();
    std::vector<int> rows;
    for (const QModelIndex& index : selected) {
        rows.push_back(index.row());
    }
    if (rows.empty() && CurrentRow() >= 0) {
        rows.push_back(CurrentRow());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList paths;
    for (const int row : rows) {
        paths.append(FromLocalPath(m_model->PathAt(row)));
    }
    if (!paths.isEmpty()) {
        QApplication::clipboard()->setText(paths.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
}

void CollectionWindow::ShowProblems() {
    ProblemListDlg dialog(m_model->Problems(), this);
    dialog.exec();
}

void CollectionWindow::ShowAbout() {
    CAboutDlg about(m_app);
    about.exec();
}

void CollectionWindow::OnOpenCollection() {
    KeepSettingsOffDisk();
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Sammlung \u00F6ffnen"), FromLocalPath(Folder()),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        OpenCollectionWindow(m_app, QFile::encodeName(chosen).toStdString(), GridShown());
    }
}

void CollectionWindow::OnExport() {
    KeepSettingsOffDisk();
    const QString chosen =
        QFileDialog::getSaveFileName(this, QStringLiteral("Liste exportieren"),
                                     FromLocalPath(Folder()) + QStringLiteral("/liste.csv"),
                                     QStringLiteral("CSV-Dateien (*.csv);;Alle Dateien (*)"),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        ExportList(QFile::encodeName(chosen).toStdString());
    }
}

bool CollectionWindow::ExportList(const std::string& path) {
    if (m_export != nullptr) {
        return false;  // one at a time
    }
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(m_model->rowCount()));
    for (int row = 0; row < m_model->rowCount(); ++row) {
        paths.push_back(m_model->PathAt(row));
    }
    m_export = new ListExport(std::move(paths), path, this);
    Action("export")->setEnabled(false);
    connect(m_export, &ListExport::Progress, this, [this](qint64 done, qint64 total) {
        m_progress->setMaximum(static_cast<int>(std::min<qint64>(total, INT32_MAX)));
        m_progress->setValue(static_cast<int>(std::min<qint64>(done, INT32_MAX)));
        m_progress->setFormat(QStringLiteral("Exportiere %1 von %2 Boxen")
                                  .arg(GermanNumber(done), GermanNumber(total)));
        m_progress->show();
    });
    connect(m_export, &ListExport::Finished, this, [this](bool written, const QString& message) {
        m_progress->hide();
        if (written) {
            statusBar()->showMessage(message, kExportNoteMs);
        } else {
            m_failure = message;
            UpdateMessage();
        }
        m_export->deleteLater();
        m_export = nullptr;
        Action("export")->setEnabled(true);
    });
    return true;
}

CollectionWindow* OpenCollectionWindow(const CApplikation& app, const std::string& folder,
                                       bool grid) {
    auto* window = new CollectionWindow(app, folder);
    window->ShowGrid(grid);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace quorvel
