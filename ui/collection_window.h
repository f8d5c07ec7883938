// The collection window: every box of a folder tree, one row each, from
// the index (collection/), kept up to date in the background while it is
// open. A search field filters as you type; every column sorts; a cover
// grid shows the same rows. Enter opens the row's box in the viewer window,
// where Ctrl+PgDown/PgUp follow these rows in their order.
#pragma once

#include <QMainWindow>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "collection/indexer.h"
#include "collection/listing.h"
#include "collection/search.h"

class QAbstractItemView;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace quorvel {

class CApplikation;
class CViewerDlg;
class CollectionFeed;
class CollectionModel;
class CoverThumbnails;
class ListExport;

class CollectionWindow : public QMainWindow {
    Q_OBJECT
public:
    // Opens the index of `folder` and shows what it holds at once; the
    // update starts when the window is first shown. `app` must outlive the
    // window (its viewers and about box read from it).
    CollectionWindow(const CApplikation& app, const std::string& folder, QWidget* parent = nullptr);
    ~CollectionWindow() override;

    // The folder, absolute.
    const std::string& Folder() const;

    QLineEdit& SearchField() { return *m_search; }
    QTableView& Table() { return *m_table; }
    QListView& Grid() { return *m_grid; }
    CollectionModel& Model() { return *m_model; }
    // The view shown now: the table or the grid.
    QAbstractItemView& CurrentView();
    QAction* Action(const char* name) const;
    // The message line over the rows (folder problems, where the index is
    // kept); empty when there is nothing to say.
    QString Message() const;
    QString CountsText() const;
    QString ProblemsText() const;  // empty when all could be read
    // The viewer this window opened its boxes in, if any.
    CViewerDlg* Viewer() const { return m_viewer; }
    // True until the index has been brought up to date once since the
    // window was shown, and while it is again.
    bool Updating() const;

    // Opens the box of `row` in the viewer window.
    void OpenRow(int row);
    // Where the viewer's Ctrl+PgDown/PgUp go from `path`: the next or
    // previous row, selected here too; from a path not among the rows, the
    // first or last row.
    std::optional<std::string> StepFrom(const std::string& path, bool forward);
    // The list or the cover grid; the choice holds for this run only: a
    // window opened from this one starts with it, and none is stored.
    void ShowGrid(bool grid);
    bool GridShown() const;
    // The selected rows' paths, one a line, to the clipboard.
    void CopyPaths();
    // "Liste exportieren...": the shown rows' films as the dump tool's CSV
    // into `path`, in the background; false while one is running. What was
    // written shows in the status bar, why not in the message line.
    bool ExportList(const std::string& path);
    bool Exporting() const { return m_export != nullptr; }
    void ShowProblems();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartFeed();
    void BuildViews();
    void BuildStatusBar();
    void BuildActions();
    void OnSearchEdited(const QString& text);
    void OnSearched(const QString& query, const std::vector<BoxHit>& hits);
    void OnFilmsMatched(const QString& query, const std::vector<BoxHit>& hits);
    void OnRowsChanged(const std::vector<BoxRow>& stored, const std::vector<int64_t>& removed);
    void OnProgress(qint64 done, qint64 found);
    void OnUpdateFinished(const IndexSummary& summary);
    void OnCountsChanged();
    void OnOpenCollection();
    void OnExport();
    void SortBy(int column);
    void ShowAbout();
    void SetCurrentRow(int row);
    int CurrentRow();
    void UpdateMessage();

    const CApplikation& m_app;
    // Children of the window.
    CollectionFeed* m_feed;
    CollectionModel* m_model;
    CoverThumbnails* m_covers;
    QLineEdit* m_search = nullptr;
    QLabel* m_message = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTableView* m_table = nullptr;
    QListView* m_grid = nullptr;
    QLabel* m_counts = nullptr;
    QToolButton* m_problems = nullptr;
    QProgressBar* m_progress = nullptr;
    CViewerDlg* m_viewer = nullptr;
    ListExport* m_export = nullptr;

    QString m_query;         // the search shown, trimmed; empty for every box
    std::string m_keptPath;  // the current row's while the rows are made anew
    bool m_started = false;
    QString m_folderProblem;  // why the folder itself cannot be read
    QString m_notice;         // where the index is kept, said once
    QString m_failure;        // an update or export that failed
};

// A new collection window on `folder`, shown (as the grid when `grid`); it
// deletes itself when closed.
CollectionWindow* OpenCollectionWindow(const CApplikation& app, const std::string& folder,
                                       bool grid = false);

}  // namespace quorvel
