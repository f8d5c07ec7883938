// The collection window's rows: every readable box of the index in path
// order, or the boxes a search found in rank order; sorted by any column on
// request (numbers as numbers, texts in the list order of list_collator.h,
// empty values last either way, ties in the order before). Boxes that could
// not be read are no rows: they are counted and listed with their reasons.
#pragma once

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "collection/indexer.h"
#include "collection/listing.h"
#include "collection/search.h"

namespace quorvel {

class CoverThumbnails;

enum BoxColumn : int {
    kCoverColumn,
    kTitleColumn,
    kHitsColumn,  // the films a search matched
    kDvdsColumn,
    kFilmsColumn,
    kYearsColumn,
    kFskColumn,
    kGenreColumn,
    kEanColumn,
    kFileColumn,
    kBoxColumnCount,
};

class CollectionModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        kPathRole = Qt::UserRole + 1,  // the box file's path (QString)
        kLargeCoverRole,               // the grid's cover (QPixmap), null while it is made
    };

    explicit CollectionModel(QObject* parent = nullptr);
    ~CollectionModel() override;

    // Where covers come from; none shows no covers. Not owned.
    void SetCoverSource(CoverThumbnails* covers);

    // Everything the index lists, replacing what was there.
    void SetBoxes(std::vector<BoxRow> rows);
    // Boxes stored (new or again: a path already listed is replaced) and
    // dropped by an index update.
    void UpdateBoxes(std::vector<BoxRow> stored, const std::vector<int64_t>& removed);
    // The boxes a search found, in rank order, until ClearSearch; their
    // matching films come after (a part of the boxes at a time).
    void SetSearchResult(std::vector<BoxHit> hits);
    void AddMatchedFilms(const std::vector<BoxHit>& hits);
    void ClearSearch();
    bool Searching() const { return m_hits.has_value(); }
    // Folders the last index update could not read.
    void SetFolderProblems(std::vector<IndexProblem> folders);

    std::string PathAt(int row) const;
    // The row showing `path`, or -1.
    int RowOf(const std::string& path) const;
    // The sort column (-1 for the index's own order) and direction.
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    struct Counts {
        int64_t shownBoxes = 0, boxes = 0, shownFilms = 0, films = 0;
    };
    Counts GetCounts() const;
    // Box files and folders that could not be read, by path, each with why
    // in German.
    std::vector<std::pair<std::string, QString>> Problems() const;
    size_t ProblemCount() const { return m_unreadable.size() + m_folderProblems.size(); }
    bool ProblemsIncludeFolders() const { return !m_folderProblems.empty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Column -1 restores the index's own order (path, or rank).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The rows, the counts or the problems changed.
    void CountsChanged();

private:
    struct Entry {
        BoxRow row;
        QString title, ean, file;  // as shown
        // The genres as shown, made when first shown or sorted by: a box of
        // a hundred DVDs names hundreds, and most rows are never seen.
        mutable std::optional<QString> genre;
        const QString& Genre() const;
        // Sort keys of title, genre, EAN and file name, made when first
        // sorted by.
        mutable std::array<std::optional<QCollatorSortKey>, 4> keys;
    };
    struct Shown {
        const Entry* entry;
        const std::vector<FilmHit>* films;  // the matched films; null outside a search
    };

    void Store(BoxRow&& row);
    void Drop(int64_t id);
    // Makes the rows anew from the boxes, the search and the sort.
    void Rebuild();
    void SortShown();
    void OnCoverReady(int64_t id);

    std::unordered_map<int64_t, Entry> m_entries;    // readable boxes by id
    std::unordered_map<std::string, int64_t> m_ids;  // and their ids by path
    struct Unreadable {
        int64_t id = 0;
        std::string status, reason;
    };
    std::unordered_map<std::string, Unreadable> m_unreadable;  // boxes that could not be read
    std::unordered_map<int64_t, std::string> m_unreadableIds;  // their paths by id
    std::vector<IndexProblem> m_folderProblems;
    int64_t m_films = 0;
    std::optional<std::vector<BoxHit>> m_hits;
    std::unordered_map<int64_t, size_t> m_hitOfId;  // index in m_hits
    std::vector<Shown> m_shown;
    std::unordered_map<int64_t, int> m_rowOfId;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    CoverThumbnails* m_covers = nullptr;
};

}  // namespace quorvel
