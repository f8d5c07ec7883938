#include "ui/collection_model.h"

#include <QCollator>
#include <QFile>
#include <QPixmap>
#include <algorithm>
#include <numeric>

#include "ui/collection_texts.h"
#include "ui/cover_thumbnails.h"
#include "ui/list_collator.h"
#include "ui/qt_strings.h"

namespace quorvel {
namespace {

QString OptionalUtf8(const std::optional<std::string>& text) {
    return text ? FromUtf8(*text) : QString();
}

// Which of an entry's cached sort keys a text column uses.
enum KeySlot { kTitleKey, kGenreKey, kEanKey, kFileKey };

// One row's value in the sort column: numbers, or a text's sort key.
struct SortValue {
    bool missing = false;
    int64_t first = 0;
    int64_t second = 0;
    const QCollatorSortKey* text = nullptr;
};

int Compare(const SortValue& a, const SortValue& b) {
    if (a.text != nullptr) {
        return a.text->compare(*b.text);
    }
    if (a.first != b.first) {
        return a.first < b.first ? -1 : 1;
    }
    return a.second == b.second ? 0 : (a.second < b.second ? -1 : 1);
}

}  // namespace

CollectionModel::CollectionModel(QObject* parent) : QAbstractTableModel(parent) {}

CollectionModel::~CollectionModel() = default;

void CollectionModel::SetCoverSource(CoverThumbnails* covers) {
    if (m_covers != nullptr) {
        disconnect(m_covers, nullptr, this, nullptr);
    }
    m_covers = covers;
    if (m_covers != nullptr) {
        connect(m_covers, &CoverThumbnails::CoverReady, this, &CollectionModel::OnCoverReady);
    }
}

void CollectionModel::SetBoxes(std::vector<BoxRow> rows) {
    beginResetModel();
    m_entries.clear();
    m_ids.clear();
    m_unreadable.clear();
    m_unreadableIds.clear();
    m_films = 0;
    for (BoxRow& row : rows) {
        Store(std::move(row));
    }
    Rebuild();
    endResetModel();
    emit CountsChanged();
}

void CollectionModel::UpdateBoxes(std::vector<BoxRow> stored, const std::vector<int64_t>& removed) {
    beginResetModel();
    for (const int64_t id : removed) {
        Drop(id);
    }
    for (BoxRow& row : stored) {
        Store(std::move(row));
    }
    Rebuild();
    endResetModel();
    emit CountsChanged();
}

void CollectionModel::SetSearchResult(std::vector<BoxHit> hits) {
    beginResetModel();
    m_hits = std::move(hits);
    m_hitOfId.clear();
    for (size_t i = 0; i < m_hits->size(); ++i) {
        m_hitOfId[(*m_hits)[i].boxId] = i;
    }
    Rebuild();
    endResetModel();
    emit CountsChanged();
}

void CollectionModel::AddMatchedFilms(const std::vector<BoxHit>& hits) {
    if (!m_hits) {
        return;
    }
    if (m_sortColumn == kHitsColumn) {
        beginResetModel();
    }
    for (const BoxHit& hit : hits) {
        const auto at = m_hitOfId.find(hit.boxId);
        if (at == m_hitOfId.end()) {
            continue;
        }
        (*m_hits)[at->second].films = hit.films;  // the rows point at this vector
        if (m_sortColumn != kHitsColumn) {
            if (const auto row = m_rowOfId.find(hit.boxId); row != m_rowOfId.end()) {
                const QModelIndex cell = index(row->second, kHitsColumn);
                emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
            }
        }
    }
    if (m_sortColumn == kHitsColumn) {
        Rebuild();
        endResetModel();
    }
}

void CollectionModel::ClearSearch() {
    beginResetModel();
    m_hits.reset();
    m_hitOfId.clear();
    Rebuild();
    endResetModel();
    emit CountsChanged();
}

void CollectionModel::SetFolderProblems(std::vector<IndexProblem> folders) {
    // Boxes that could not be read are known as such already.
    std::erase_if(folders,
                  [this](const IndexProblem& p) { return m_unreadable.count(p.path) > 0; });
    m_folderProblems = std::move(folders);
    emit CountsChanged();
}

const QString& CollectionModel::Entry::Genre() const {
    if (!genre) {
        genre = GenresText(row.genre);
    }
    return *genre;
}

void CollectionModel::Store(BoxRow&& row) {
    // Whatever was listed for this path before is replaced.
    if (const auto known = m_ids.find(row.path); known != m_ids.end()) {
        Drop(known->second);
    }
    if (const auto known = m_unreadable.find(row.path); known != m_unreadable.end()) {
        Drop(known->second.id);
    }
    if (row.status != "ok") {
        m_unreadableIds[row.id] = row.path;
        m_unreadable[row.path] = {row.id, row.status, row.reason.value_or(std::string())};
        return;
    }
    const int64_t id = row.id;
    m_ids[row.path] = id;
    m_films += row.filmCount;
    Entry& entry = m_entries[id];
    entry.title = OptionalUtf8(row.title);
    entry.ean = OptionalUtf8(row.ean);
    entry.file = FromLocalPath(row.fileName);
    entry.row = std::move(row);
}

void CollectionModel::Drop(int64_t id) {
    if (const auto entry = m_entries.find(id); entry != m_entries.end()) {
        m_films -= entry->second.row.filmCount;
        m_ids.erase(entry->second.row.path);
        m_entries.erase(entry);
    } else if (const auto unreadable = m_unreadableIds.find(id);
               unreadable != m_unreadableIds.end()) {
        m_unreadable.erase(unreadable->second);
        m_unreadableIds.erase(unreadable);
    }
}

void CollectionModel::Rebuild() {
    m_shown.clear();
    if (m_hits) {
        m_shown.reserve(m_hits->size());
        for (const BoxHit& hit : *m_hits) {
            if (const auto entry = m_entries.find(hit.boxId); entry != m_entries.end()) {
                m_shown.push_back({&entry->second, &hit.films});
            }
        }
    } else {
        m_shown.reserve(m_entries.size());
        for (const auto& [id, entry] : m_entries) {
            m_shown.push_back({&entry, nullptr});
        }
        std::sort(m_shown.begin(), m_shown.end(), [](const Shown& a, const Shown& b) {
            return a.entry->row.path < b.entry->row.path;
        });
    }
    SortShown();
    m_rowOfId.clear();
    m_rowOfId.reserve(m_shown.size());
    for (size_t row = 0; row < m_shown.size(); ++row) {
        m_rowOfId[m_shown[row].entry->row.id] = static_cast<int>(row);
    }
}

void CollectionModel::SortShown() {
    if (m_sortColumn < 0 || m_sortColumn == kCoverColumn) {
        return;
    }
    const QCollator collator = ListCollator();
    const auto key = [&collator](const Entry& entry, KeySlot slot, const QString& text) {
        std::optional<QCollatorSortKey>& cached = entry.keys[slot];
        if (!cached) {
            cached = collator.sortKey(text);
        }
        return &*cached;
    };
    std::vector<std::optional<QCollatorSortKey>> hitKeys;
    std::vector<SortValue> values(m_shown.size());
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const Entry& e = *m_shown[i].entry;
        const BoxRow& row = e.row;
        SortValue& v = values[i];
        switch (m_sortColumn) {
            case kTitleColumn:
                v.missing = e.title.isEmpty();
                v.text = key(e, kTitleKey, e.title);
                break;
            case kHitsColumn: {
                if (hitKeys.empty()) {
                    hitKeys.resize(m_shown.size());
                }
                const QString hits = m_shown[i].films ? HitsText(*m_shown[i].films) : QString();
                v.missing = hits.isEmpty();
                v.text = &*(hitKeys[i] = collator.sortKey(hits));
                break;
            }
            case kDvdsColumn:
                v.first = row.dvdCount;
                break;
            case kFilmsColumn:
                v.first = row.filmCount;
                break;
            case kYearsColumn:
                v.missing = !row.yearMin;
                v.first = row.yearMin.value_or(0);
                v.second = row.yearMax.value_or(0);
                break;
            case kFskColumn:
                v.missing = !row.fsk;
                v.first = row.fsk.value_or(0);
                break;
            case kGenreColumn:
                v.missing = e.Genre().isEmpty();
                v.text = key(e, kGenreKey, e.Genre());
                break;
            case kEanColumn:
                v.missing = e.ean.isEmpty();
                v.text = key(e, kEanKey, e.ean);
                break;
            case kFileColumn:
                v.text = key(e, kFileKey, e.file);
                break;
        }
    }
    std::vector<size_t> order(m_shown.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const SortValue& x = values[a];
        const SortValue& y = values[b];
        if (x.missing || y.missing) {
            return !x.missing && y.missing;  // empty values last, either way
        }
        const int order = Compare(x, y);
        return descending ? order > 0 : order < 0;
    });
    std::vector<Shown> sorted;
    sorted.reserve(m_shown.size());
    for (const size_t i : order) {
        sorted.push_back(m_shown[i]);
    }
    m_shown = std::move(sorted);
}

void CollectionModel::sort(int column, Qt::SortOrder order) {
    beginResetModel();
    m_sortColumn = column < 0 || column >= kBoxColumnCount || column == kCoverColumn ? -1 : column;
    m_sortOrder = order;
    Rebuild();
    endResetModel();
}

std::string CollectionModel::PathAt(int row) const {
    return row >= 0 && static_cast<size_t>(row) < m_shown.size() ? m_shown[row].entry->row.path
                                                                 : std::string();
}

int CollectionModel::RowOf(const std::string& path) const {
    const auto id = m_ids.find(path);
    if (id == m_ids.end()) {
        return -1;
    }
    const auto row = m_rowOfId.find(id->second);
    return row == m_rowOfId.end() ? -1 : row->second;
}

CollectionModel::Counts CollectionModel::GetCounts() const {
    Counts counts;
    counts.shownBoxes = static_cast<int64_t>(m_shown.size());
    counts.boxes = static_cast<int64_t>(m_entries.size());
    counts.films = m_films;
    for (const Shown& shown : m_shown) {
        counts.shownFilms += shown.entry->row.filmCount;
    }
    return counts;
}

std::vector<std::pair<std::string, QString>> CollectionModel::Problems() const {
    std::vector<std::pair<std::string, QString>> problems;
    for (const auto& [path, box] : m_unreadable) {
        problems.emplace_back(path, BoxProblemText(box.status, box.reason));
    }
    for (const IndexProblem& folder : m_folderProblems) {
        problems.emplace_back(folder.path, FolderProblemText(folder.reason));
    }
    std::sort(problems.begin(), problems.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return problems;
}

int CollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CollectionModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kBoxColumnCount;
}

QVariant CollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_shown.size()) {
        return {};
    }
    const Shown& shown = m_shown[index.row()];
    const Entry& entry = *shown.entry;
    const BoxRow& row = entry.row;
    switch (role) {
        case kPathRole:
            return FromLocalPath(row.path);
        case kLargeCoverRole:
            return m_covers != nullptr ? m_covers->Large(row.id, row.path) : QPixmap();
        case Qt::DecorationRole:
            if (index.column() == kCoverColumn && m_covers != nullptr) {
                return m_covers->Small(row.id, row.path);
            }
            return {};
        case Qt::TextAlignmentRole:
            switch (index.column()) {
                case kDvdsColumn:
                case kFilmsColumn:
                case kFskColumn:
                    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
                default:
                    return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            }
        case Qt::ToolTipRole:
            if (index.column() == kHitsColumn) {
                return shown.films ? HitsText(*shown.films) : QString();
            }
            return FromLocalPath(row.path);
        case Qt::DisplayRole:
            break;
        default:
            return {};
    }
    switch (index.column()) {
        case kTitleColumn:
            return entry.title.isEmpty() ? QStringLiteral("(ohne Titel)") : entry.title;
        case kHitsColumn:
            return shown.films ? HitsText(*shown.films) : QString();
        case kDvdsColumn:
            return GermanNumber(row.dvdCount);
        case kFilmsColumn:
            return GermanNumber(row.filmCount);
        case kYearsColumn:
            return YearsText(row.yearMin, row.yearMax);
        case kFskColumn:
            return row.fsk ? QString::number(*row.fsk) : QString();
        case kGenreColumn:
            return entry.Genre();
        case kEanColumn:
            return entry.ean;
        case kFileColumn:
            return entry.file;
        default:
            return {};
    }
}

QVariant CollectionModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kHeaders[kBoxColumnCount] = {
        "Cover", "Titel", "Gefundene Filme", "DVDs", "Filme",
        "Jahre", "FSK",   "Genre",           "EAN",  "Datei",
    };
    return section >= 0 && section < kBoxColumnCount ? QString::fromUtf8(kHeaders[section])
                                                     : QVariant();
}

void CollectionModel::OnCoverReady(int64_t id) {
    if (const auto row = m_rowOfId.find(id); row != m_rowOfId.end()) {
        emit dataChanged(index(row->second, kCoverColumn), index(row->second, kTitleColumn),
                         {Qt::DecorationRole, kLargeCoverRole});
    }
}

}  // namespace quorvel
