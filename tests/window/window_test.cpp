// Run: ctest --test-dir build -R 'CollectionWindow'   (or build/tests/window_tests)
// The collection window offscreen on real folders, the real index (SQLite)
// and the real thumbnail cache: sorting, searching as you type, following
// the tree, unreadable files and folders, a cache that cannot be written,
// covers, the viewer it opens, keys and names. The real program under a
// real X server is checked by tests/xvfb/xvfb_collection.py.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "app/applikation.h"
#include "collection/collection.h"
#include "picture/png_text.h"
#include "picture/thumbnail_cache.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"
#include "ui/collection_model.h"
#include "ui/collection_window.h"
#include "ui/problem_list_dlg.h"
#include "ui/viewer_dlg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

CApplikation& TestApp() {
    static CApplikation app;
    return app;
}

struct Film {
    std::string title;       // Windows-1252
    int year = 0;            // 0: none
    int fsk = -1;            // -1: none
    std::string genre = "";  // none
};

Bytes U16(int value) {
    return Bytes{static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>(value >> 8)};
}

// A box with a title (Windows-1252; empty for none), one DVD of `films`,
// and `cover` as its stored cover block.
Bytes MakeBox(const std::string& title, const std::vector<Film>& films, const Bytes& cover = {}) {
    Bytes data;
    if (!title.empty()) {
        Append(data, Token(0x10, title));
    }
    Append(data, Token(0x30, "DVD"));
    for (const Film& film : films) {
        Append(data, Token(0x50, film.title));
        if (film.year > 0) {
            Append(data, Token(0x54, U16(film.year)));
        }
        if (film.fsk >= 0) {
            Append(data, Token(0x53, Bytes{static_cast<unsigned char>(film.fsk)}));
        }
        if (!film.genre.empty()) {
            Append(data, Token(0x57, film.genre));
        }
    }
    Append(data, Token(0x80, Bytes{}));
    BoxSpec box;
    box.cover = cover;
    box.flags = cover.empty() ? 0 : 1;  // a JPEG cover
    box.data = data;
    return BuildBox(box);
}

// A small JPEG cover.
Bytes Cover() {
    return ReadFile(std::string(QUORVEL_SOURCE_DIR) + "/examples/covers/two-dvds.jpg");
}

// One test's folders: a tree of boxes and the cache (XDG_CACHE_HOME).
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.ok());
        m_tree = m_dir.path() + "sammlung";
        fs::create_directories(m_tree);
        m_cache = m_dir.path() + "cache";
        setenv("XDG_CACHE_HOME", m_cache.c_str(), 1);
    }
    void TearDown() override { m_window.reset(); }

    std::string Put(const std::string& name, const Bytes& bytes) {
        const std::string path = m_tree + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        WriteFile(path, bytes);
        return path;
    }

    // The window on the tree, shown, once its first update is done.
    CollectionWindow& Open(const std::string& folder = {}) {
        m_window = std::make_unique<CollectionWindow>(TestApp(), folder.empty() ? m_tree : folder);
        m_window->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Settled(); }, 20000));
        return *m_window;
    }
    bool Settled() {
        QTest::qWait(50);
        return !m_window->Updating();
    }

    // The rows' file names, in order.
    std::vector<std::string> Rows() const {
        std::vector<std::string> names;
        for (int row = 0; row < m_window->Model().rowCount(); ++row) {
            names.push_back(fs::path(m_window->Model().PathAt(row)).filename().string());
        }
        return names;
    }
    void Search(const QString& text) { m_window->SearchField().setText(text); }

    TempDir m_dir;
    std::string m_tree, m_cache;
    std::unique_ptr<CollectionWindow> m_window;
};

BoxRow Row(int64_t id, std::string file, std::optional<std::string> title, int64_t films,
           std::optional<int64_t> yearMin, std::optional<int64_t> yearMax,
           std::optional<int64_t> fsk, std::optional<std::string> genre = {}) {
    BoxRow row;
    row.id = id;
    row.path = "/s/" + file;
    row.fileName = file;
    row.title = std::move(title);
    row.filmCount = films;
    row.dvdCount = 1;
    row.yearMin = yearMin;
    row.yearMax = yearMax;
    row.fsk = fsk;
    row.genre = std::move(genre);
    row.status = "ok";
    return row;
}

TEST(CollectionWindowSort, NumbersAsNumbersTextsInListOrderEmptyLastTiesAsBefore) {
    CollectionModel model;
    model.SetBoxes({
        Row(1, "a.box", "Zorn", 2, 1999, 2001, 12, "Krimi"),
        Row(2, "b.box", "ärger", 10, 1975, 1975, 6, "Drama"),
        Row(3, "c.box", "Teil 10", 1, std::nullopt, std::nullopt, std::nullopt),
        Row(4, "Teil 2.box", "Teil 2", 2, 1999, 1999, 16, "krimi"),
        Row(5, "Teil 10.box", std::nullopt, 3, 1960, 2020, 0, "Abenteuer"),
        Row(6, "e.box", "Anfang", 2, 1999, 2001, 18),
    });
    struct Case {
        int column;
        Qt::SortOrder order;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {kTitleColumn,
         Qt::AscendingOrder,
         {"e.box", "b.box", "Teil 2.box", "c.box", "a.box", "Teil 10.box"}},
        {kTitleColumn,
         Qt::DescendingOrder,
         {"a.box", "c.box", "Teil 2.box", "b.box", "e.box", "Teil 10.box"}},
        // Equal values keep the order before: here the paths'.
        {kFilmsColumn,
         Qt::AscendingOrder,
         {"c.box", "Teil 2.box", "a.box", "e.box", "Teil 10.box", "b.box"}},
        {kYearsColumn,
         Qt::AscendingOrder,
         {"Teil 10.box", "b.box", "Teil 2.box", "a.box", "e.box", "c.box"}},
        {kYearsColumn,
         Qt::DescendingOrder,
         {"a.box", "e.box", "Teil 2.box", "b.box", "Teil 10.box", "c.box"}},
        {kFskColumn,
         Qt::DescendingOrder,
         {"e.box", "Teil 2.box", "a.box", "b.box", "Teil 10.box", "c.box"}},
        {kGenreColumn,
         Qt::AscendingOrder,
         {"Teil 10.box", "b.box", "Teil 2.box", "a.box", "c.box", "e.box"}},
        {kFileColumn,
         Qt::AscendingOrder,
         {"a.box", "b.box", "c.box", "e.box", "Teil 2.box", "Teil 10.box"}},
        {-1, Qt::AscendingOrder, {"Teil 10.box", "Teil 2.box", "a.box", "b.box", "c.box", "e.box"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "column " << c.column << " order " << c.order);
        model.sort(c.column, c.order);
        std::vector<std::string> files;
        for (int row = 0; row < model.rowCount(); ++row) {
            files.push_back(fs::path(model.PathAt(row)).filename().string());
        }
        EXPECT_EQ(files, c.files);
    }
}

TEST(CollectionWindowSort, ManyEqualValuesKeepTheirOrder) {
    std::vector<BoxRow> rows;
    for (int i = 0; i < 40; ++i) {
        rows.push_back(Row(i + 1,
                           QStringLiteral("%1.box").arg(i, 2, 10, QLatin1Char('0')).toStdString(),
                           "Gleich", i % 2 + 1, 1990, 1990, 12));
    }
    CollectionModel model;
    model.SetBoxes(rows);
    model.sort(kFilmsColumn, Qt::DescendingOrder);
    for (int row = 1; row < model.rowCount(); ++row) {
        const int64_t films = row < 20 ? 2 : 1;
        SCOPED_TRACE(row);
        EXPECT_EQ(model.index(row, kFilmsColumn).data().toString().toLongLong(), films);
        if (row != 20) {
            EXPECT_LT(model.PathAt(row - 1), model.PathAt(row));
        }
    }
}

TEST_F(WindowTest, SearchAsYouTypeShowsTheIndexsRowsInItsOrder) {
    Put("koehler.box", MakeBox("Die Akte K\xF6hler", {{"Nebel", 1995, 12, "Krimi"},
                                                      {"Wald", 1970, 6, "krimi, Thriller"}}));
    Put("a/nebel.box", MakeBox("Nebelwald", {{"Im Nebel", 1992, 16}}));
    Put("a/b/wald.box", MakeBox("", {{"Der Wald", 1985, 0}, {"Nebelkinder", 1999, 12}}));
    Put("leer.box", MakeBox("Sonst nichts", {{"Zirkus", 2001, 0}}));
    CollectionWindow& window = Open();
    EXPECT_EQ(window.CountsText(), QStringLiteral("4 von 4 Boxen, 6 von 6 Filmen"));
    const QModelIndex genres =
        window.Model().index(window.Model().RowOf(m_tree + "/koehler.box"), kGenreColumn);
    EXPECT_EQ(genres.data().toString(), QStringLiteral("Krimi, Thriller")) << "each genre once";

    const auto collection = Collection::OpenForFolder(m_tree);
    for (const char* query : {"kohler", "nebel", "neb", "jahr:1990-1999", "nebel fsk:16", "xyz"}) {
        SCOPED_TRACE(query);
        std::vector<std::string> want;
        for (const BoxHit& hit : collection->Search(query)) {
            want.push_back(fs::path(hit.path).filename().string());
        }
        Search(QString::fromUtf8(query));
        (void)QTest::qWaitFor([&] { return Rows() == want; }, 10000);
        EXPECT_EQ(Rows(), want);
        if (std::string(query) == "nebel") {
            EXPECT_EQ(want.size(), 3u);
            EXPECT_EQ(window.CountsText(), QStringLiteral("3 von 4 Boxen, 5 von 6 Filmen"));
            const QModelIndex hits =
                window.Model().index(window.Model().RowOf(m_tree + "/a/b/wald.box"), kHitsColumn);
            (void)QTest::qWaitFor([&] { return !hits.data().toString().isEmpty(); }, 10000);
            EXPECT_EQ(hits.data().toString(), QStringLiteral("Treffer: Nebelkinder (1999)"));
            const int row = hits.row();
            EXPECT_EQ(window.Model().index(row, kTitleColumn).data().toString(),
                      QStringLiteral("DVD"));  // no box title: the first DVD's
        }
    }
    // Emptied, the field shows every box again, and keeps showing them.
    Search(QString());
    EXPECT_EQ(Rows().size(), 4u);
    QTest::qWait(500);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_TRUE(window.Table().isColumnHidden(kHitsColumn));
}

TEST_F(WindowTest, FollowsFilesAddedChangedAndRemoved) {
    Put("eins.box", MakeBox("Eins", {{"Film A"}}));
    const std::string zwei = Put("zwei.box", MakeBox("Zwei", {{"Film B"}}));
    CollectionWindow& window = Open();
    window.Table().selectRow(window.Model().RowOf(zwei));

    Put("neu/drei.box", MakeBox("Drei", {{"Film C"}}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Rows().size() == 3; }, 10000));
    EXPECT_EQ(window.Model().PathAt(window.Table().currentIndex().row()), zwei)
        << "the current row stays current";

    Put("eins.box", MakeBox("Eins neu", {{"Film A"}, {"Film D"}}));
    const auto titleOf = [&window](const std::string& path) {
        return window.Model().index(window.Model().RowOf(path), kTitleColumn).data().toString();
    };
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return titleOf(m_tree + "/eins.box") == "Eins neu"; }, 10000));

    fs::remove(zwei);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Rows().size() == 2; }, 10000));
    EXPECT_EQ(window.CountsText(), QStringLiteral("2 von 2 Boxen, 3 von 3 Filmen"));
}

// Runs `read` on the next modal dialog opened by `open`, then closes it.
template <typename Dialog, typename Read>
void WithDialog(const std::function<void()>& open, Read read) {
    bool seen = false;
    QTimer::singleShot(100, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
                seen = true;
                read(*dialog);
                dialog->reject();
            }
        }
    });
    open();
    EXPECT_TRUE(seen);
}

TEST_F(WindowTest, UnreadableFilesAreListedWithReasonsNeverOneMessageEach) {
    Put("gut.box", MakeBox("Gut", {{"Film"}}));
    WriteFile(m_tree + "/kurz.box", ToBytes("MIRAX"));
    BoxSpec wrong;
    wrong.magic = "MIRAX3.0";
    Put("alt.box", BuildBox(wrong));
    CollectionWindow& window = Open();
    EXPECT_EQ(window.CountsText(), QStringLiteral("1 von 1 Box, 1 von 1 Film"));
    EXPECT_EQ(window.ProblemsText(), QStringLiteral("2 Dateien nicht lesbar"));
    WithDialog<ProblemListDlg>(
        [&window] { window.ShowProblems(); },
        [&](ProblemListDlg& dialog) {
            QTreeWidget& list = dialog.List();
            ASSERT_EQ(list.topLevelItemCount(), 2);
            EXPECT_EQ(list.topLevelItem(0)->text(0), QString::fromStdString(m_tree + "/alt.box"));
            EXPECT_EQ(list.topLevelItem(0)->text(1),
                      QStringLiteral("keine Box-Datei des Datenmodells 4.0 (falsche Kennung)"));
            EXPECT_EQ(list.topLevelItem(1)->text(1),
                      QStringLiteral("zu kurz für den 64-Byte-Kopf einer Box-Datei"));
        });
    EXPECT_TRUE(window.Message().isEmpty());

    // The folder itself gone: said in German, and the window stays.
    fs::remove_all(m_tree);
    EXPECT_TRUE(QTest::qWaitFor(
        [&window] { return window.Message().startsWith(QStringLiteral("Der Ordner")); }, 10000));
    EXPECT_TRUE(window.Message().contains(QStringLiteral("kann nicht gelesen werden")));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Rows().size(), 0u);
}

TEST_F(WindowTest, CacheThatCannotBeWrittenKeepsTheIndexInMemoryAndSaysSoOnce) {
    WriteFile(m_cache, ToBytes("a file where the cache folder should be"));
    Put("a.box", MakeBox("A", {{"Film"}}));
    Put("b.box", MakeBox("B", {{"Film"}}));
    CollectionWindow& window = Open();
    EXPECT_EQ(Rows().size(), 2u);
    Put("c.box", MakeBox("C", {{"Film"}}));
    EXPECT_TRUE(QTest::qWaitFor([this] { return Rows().size() == 3; }, 10000));
    const QString message = window.Message();
    EXPECT_TRUE(message.contains(QStringLiteral("nur für diese Sitzung im Speicher")))
        << message.toStdString();
    EXPECT_EQ(message.count(QStringLiteral("Speicher")), 1);
}

TEST_F(WindowTest, CoversOfShownRowsOnlyFromTheSharedCacheWhichIsRepaired) {
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(
            Put(QStringLiteral("box%1.box").arg(i, 2, 10, QLatin1Char('0')).toStdString(),
                MakeBox("Box", {{"Film"}}, i == 1 ? Bytes{} : Cover())));
    }
    // Entries the window must not trust: garbage, and another file's.
    const ThumbnailCache cache(ThumbnailCache::DefaultRoot(), "Test");
    fs::create_directories(
        fs::path(cache.EntryPath(paths[0], ThumbnailFlavor::kNormal)).parent_path());
    WriteFile(cache.EntryPath(paths[0], ThumbnailFlavor::kNormal), ToBytes("\x89PNG kaputt"));
    cache.Make(paths[3], ThumbnailFlavor::kNormal);
    fs::copy_file(cache.EntryPath(paths[3], ThumbnailFlavor::kNormal),
                  cache.EntryPath(paths[2], ThumbnailFlavor::kNormal));
    fs::remove(cache.EntryPath(paths[3], ThumbnailFlavor::kNormal));

    CollectionWindow& window = Open();
    const auto shown = [&window] {
        QTableView& table = window.Table();
        return table.rowAt(table.viewport()->height() - 1) + 1;
    };
    const auto coverAt = [&window](int row) {
        return window.Model().index(row, kCoverColumn).data(Qt::DecorationRole).value<QPixmap>();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coverAt(shown() - 1).isNull(); }, 10000));
    QTest::qWait(300);
    const auto entries = [this] {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(m_cache + "/thumbnails/normal")) {
            count += entry.path().extension() == ".png" ? 1 : 0;
        }
        return count;
    };
    const size_t made = entries();
    EXPECT_GE(made, static_cast<size_t>(shown()) - 1);  // box01 has no cover
    EXPECT_LE(made, static_cast<size_t>(shown()) + 1) << "only rows in sight get covers";
    EXPECT_FALSE(coverAt(1).isNull()) << "no cover: the default one";
    EXPECT_TRUE(
        fs::exists(ThumbnailCache(ThumbnailCache::DefaultRoot(), "Quorvel").FailurePath(paths[1])));
    for (const int i : {0, 2}) {
        SCOPED_TRACE(paths[i]);
        const Bytes png = ReadFile(cache.EntryPath(paths[i], ThumbnailFlavor::kNormal));
        const auto texts = PngTextChunks(png);
        ASSERT_EQ(texts.count("Thumb::URI"), 1u);
        EXPECT_EQ(texts.at("Thumb::URI"), FileUri(paths[i]));
        struct stat info {};
        ASSERT_EQ(::stat(paths[i].c_str(), &info), 0);
        EXPECT_EQ(texts.at("Thumb::MTime"), std::to_string(info.st_mtim.tv_sec));
    }
    window.Table().scrollToBottom();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fs::exists(cache.EntryPath(paths[39], ThumbnailFlavor::kNormal)); }, 10000));
}

TEST_F(WindowTest, TheViewerStepsThroughTheRowsInTheirOrder) {
    for (const char* name : {"a", "b", "c", "d"}) {
        Put(std::string(name) + ".box", MakeBox(std::string("Titel ") + name, {{"Film"}}));
    }
    CollectionWindow& window = Open();
    window.Table().sortByColumn(kTitleColumn, Qt::DescendingOrder);  // d c b a
    window.OpenRow(1);
    CViewerDlg* viewer = window.Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->LastShownPath(), m_tree + "/c.box");
    viewer->ShowNextFile();
    EXPECT_EQ(viewer->LastShownPath(), m_tree + "/b.box") << "the rows' order, not the folder's";
    EXPECT_EQ(window.Model().PathAt(window.Table().currentIndex().row()), m_tree + "/b.box");
    viewer->ShowNextFile();
    viewer->ShowNextFile();
    EXPECT_EQ(viewer->LastShownPath(), m_tree + "/a.box") << "nothing after the last row";
    Search(QStringLiteral("\"titel d\""));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return Rows() == std::vector<std::string>{"d.box"}; }, 10000));
    viewer->ShowNextFile();
    EXPECT_EQ(viewer->LastShownPath(), m_tree + "/d.box")
        << "from a box no longer shown: the first row";
    viewer->ShowPreviousFile();
    EXPECT_EQ(viewer->LastShownPath(), m_tree + "/d.box");
}

TEST_F(WindowTest, TheViewerOpensFoldersOnlyWhereTheProgramSaysHow) {
    const std::string box = Put("a.box", MakeBox("A", {{"Film"}}));
    for (const bool withOpener : {false, true}) {
        SCOPED_TRACE(withOpener);
        CViewerDlg viewer(TestApp());
        std::string opened;
        if (withOpener) {
            viewer.SetFolderOpener([&opened](const std::string& folder) { opened = folder; });
        }
        viewer.SetStartPath(box);
        viewer.show();
        ASSERT_EQ(viewer.LastShownPath(), box);
        for (const auto& menu : {viewer.CreateTextViewMenu(), viewer.CreateLeftColumnMenu()}) {
            bool offered = false;
            for (const QAction* action : menu->actions()) {
                offered = offered || action->text() == QStringLiteral("Sammlung öffnen...");
            }
            EXPECT_EQ(offered, withOpener);
        }
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(m_tree))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewer.TextView().viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewer.TextView().viewport(), &drop);
        EXPECT_EQ(opened, withOpener ? m_tree : std::string());
        EXPECT_EQ(viewer.LastShownPath(), box);
    }
}

TEST_F(WindowTest, ExportWritesTheShownRowsAsTheDumpToolsCsv) {
    Put("a.box", MakeBox("Alpha, mit Komma", {{"Erster \"Film\"", 1990, 12}, {"Zweiter"}}));
    Put("b.box", MakeBox("Beta", {}));
    Put("c/c.box", MakeBox("Gamma", {{"Dritter", 2001}}, Cover()));
    WriteFile(m_tree + "/kurz.box", ToBytes("MIRAX"));
    CollectionWindow& window = Open();
    window.Table().sortByColumn(kTitleColumn, Qt::DescendingOrder);  // c, b, a
    const std::string target = m_dir.path() + "liste.csv";
    ASSERT_TRUE(window.ExportList(target));
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.Exporting(); }, 20000));
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith(
        QStringLiteral("Liste exportiert: 3 Boxen mit 3 Filmen")));

    // The same bytes as the dump tool's for the same files, in the rows' order.
    QProcess dump;
    dump.start(
        QStringLiteral(QUORVEL_BINARY_DIR "/cli/quorvel-dump"),
        {QStringLiteral("--csv"), QString::fromStdString(m_tree + "/c/c.box"),
         QString::fromStdString(m_tree + "/b.box"), QString::fromStdString(m_tree + "/a.box")});
    ASSERT_TRUE(dump.waitForFinished(20000));
    const Bytes written = ReadFile(target);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(written.data()),
                         static_cast<qsizetype>(written.size())),
              dump.readAllStandardOutput());

    EXPECT_TRUE(window.ExportList(m_dir.path() + "fehlt/liste.csv"));
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.Exporting(); }, 20000));
    EXPECT_TRUE(window.Message().startsWith(QStringLiteral("Die Liste kann nicht nach")))
        << window.Message().toStdString();
}

TEST_F(WindowTest, EveryCommandHasAKeyAndEveryPartANameToBeRead) {
    Put("a.box", MakeBox("A", {{"Film"}}));
    CollectionWindow& window = Open();
    for (const QAction* menu : window.menuBar()->actions()) {
        for (const QAction* action : menu->menu()->actions()) {
            SCOPED_TRACE(action->text().toStdString());
            if (!action->isSeparator() && action->menu() == nullptr) {
                EXPECT_FALSE(action->shortcut().isEmpty());
            }
        }
    }
    for (const QWidget* part :
         {static_cast<QWidget*>(&window.SearchField()), static_cast<QWidget*>(&window.Table()),
          static_cast<QWidget*>(&window.Grid()), static_cast<QWidget*>(window.statusBar())}) {
        SCOPED_TRACE(part->metaObject()->className());
        EXPECT_FALSE(part->accessibleName().isEmpty());
    }
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.SearchField().hasFocus()) << "the search field at start";
    window.Table().setFocus();
    QTest::keyClick(&window.Table(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(window.SearchField().hasFocus()) << "Ctrl+F";
    QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(window.Grid().isVisible());
}

}  // namespace
}  // namespace quorvel::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
