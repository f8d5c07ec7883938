// Run: ctest --test-dir build -R 'Viewer|DropEdit'   (or build/tests/ui_tests)
// The main window offscreen: its geometry, start-up from the command line,
// what a shown file puts into each control, drops, pointer and commands, the
// value column at every zoom, find, stepping through a folder, saving the
// cover.
// That the real program opens one window and draws cover and text is
// checked in a real X server by xvfb-smoke.sh.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/applikation.h"
#include "support/box_builder.h"
#include "ui/cover_saver.h"
#include "ui/find_bar.h"
#include "ui/text_zoom.h"
#include "ui/translations.h"
#include "ui/viewer_commands.h"
#include "ui/viewer_dlg.h"
#include "ui/viewer_resources.h"
#include "ui/viewer_text.h"

namespace quorvel::testing {

// The temporary home folder main() sets up; XDG_CONFIG_HOME is its "config".
QString g_testHome;

// The application object the windows under test are handed, as the program
// hands its own to the main window.
inline CApplikation& TestApp() {
    static CApplikation app;
    return app;
}

inline Bytes SolidBmp(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return Bytes(data.begin(), data.end());
}

// A data block whose tokens all show: the walk drops the last token's line,
// so a marker closes the stream.
inline Bytes Stream(std::initializer_list<Bytes> tokens) {
    Bytes data = Concat(tokens);
    Append(data, Token(0x80, Bytes{}));
    return data;
}

// Writes a box into `dir` and returns its path.
inline std::string WriteBox(const QTemporaryDir& dir, const QString& name, const BoxSpec& box) {
    const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
    WriteFile(path, BuildBox(box));
    return path;
}

// Drags `urls` onto `target` offering `offered`, with Shift held when
// `shift`, and drops them; returns whether the drag was welcome there and,
// if so, that the drop was taken as a copy.
inline bool DragAndDrop(QWidget* target, const QList<QUrl>& urls,
                        Qt::DropActions offered = Qt::CopyAction, bool shift = false) {
    QMimeData mime;
    mime.setUrls(urls);
    const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
    QDragEnterEvent enter(QPoint(10, 10), offered, &mime, Qt::LeftButton, keys);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(10, 10), offered, &mime, Qt::LeftButton, keys);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    return true;
}

inline QString LabelOf(const CViewerDlg& dlg, int id) {
    const auto* label = qobject_cast<const QLabel*>(dlg.GetDlgItem(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// The six labels a shown file can change, and the record text.
inline QStringList Snapshot(CViewerDlg& dlg) {
    QStringList state;
    for (int id :
         {IDC_TYPE, IDC_WIDTH, IDC_HEIGHT, IDC_COMPRESSION, IDC_EXPORT_DATE, IDC_EXPORT_TIME}) {
        state << LabelOf(dlg, id);
    }
    return state << dlg.TextView().toPlainText();
}

namespace {

const QColor kRed(255, 0, 0);

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        TestApp().SetCommandLineText("");
    }
    void TearDown() override { TestApp().SetCommandLineText(""); }

    // A box with a 30 x 50 red BMP cover, its date and one title line.
    std::string SimpleBox(const QString& name, const std::string& date = "20060131",
                          const std::string& title = "Kiste") {
        BoxSpec box;
        box.date = date;
        box.time = "235959";
        box.cover = SolidBmp(kRed, 30, 50);
        box.data = Stream({Token(0x10, title)});
        return WriteBox(m_dir, name, box);
    }
    std::string Path(const char* name) const {
        return QFile::encodeName(m_dir.filePath(QString::fromLatin1(name))).toStdString();
    }

    QTemporaryDir m_dir;
};

TEST_F(ViewerTest, ViewerGeometryTable) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Quorvel"));
    EXPECT_EQ(dlg.size(), QSize(420, 322));
    // Template rectangles in pixels, and the texts before any file.
    const struct {
        int id;
        QRect rect;
        const char* text;  // UTF-8; nullptr for no label
    } controls[] = {
        {IDC_COVER, QRect(0, 0, 101, 143), nullptr},
        {IDC_TYPE, QRect(0, 150, 101, 13), "Typ:"},
        {IDC_WIDTH, QRect(0, 169, 101, 13), "Breite: "},
        {IDC_HEIGHT, QRect(0, 189, 101, 13), "H\xC3\xB6he: "},
        {IDC_COMPRESSION_LABEL, QRect(0, 218, 101, 13), "Komprimierung:"},
        {IDC_COMPRESSION, QRect(0, 237, 101, 13), "keine"},
        {IDC_EXPORT_LABEL, QRect(0, 267, 101, 13), "Export-Zeitpunkt"},
        {IDC_EXPORT_DATE, QRect(0, 286, 101, 13), "TT.MM.JJJJ"},
        {IDC_EXPORT_TIME, QRect(0, 302, 101, 13), "HH:MM:SS"},
        {IDC_RECORD_TEXT, QRect(105, 0, 315, 322), nullptr},
    };
    // The left column stays put whatever the size; only the text view follows.
    for (const QSize size : {QSize(420, 322), QSize(600, 400), QSize(430, 700)}) {
        SCOPED_TRACE(::testing::Message() << size.width() << "x" << size.height());
        dlg.resize(size);
        for (const auto& c : controls) {
            const QRect want =
                c.id == IDC_RECORD_TEXT ? QRect(105, 0, size.width() - 105, size.height()) : c.rect;
            EXPECT_EQ(dlg.GetDlgItem(c.id)->geometry(), want) << c.id;
            if (c.text != nullptr) {
                EXPECT_EQ(LabelOf(dlg, c.id), QString::fromUtf8(c.text)) << c.id;
            }
        }
    }
    EXPECT_EQ(dlg.GetDlgItem(IDC_RECORD_TEXT), &dlg.TextView());
    // It stops at the minimum outer size; minimised the text view is empty.
    dlg.resize(20, 20);
    QApplication::processEvents();
    EXPECT_EQ(dlg.frameGeometry().size(), QSize(200, 167));
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, dlg.width() - 105, dlg.height()));
    dlg.resize(500, 360);
    dlg.showMinimized();
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, 0, 0));
    dlg.showNormal();
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, 500 - 105, 360));
    dlg.showMaximized();
    QApplication::processEvents();
    EXPECT_GT(dlg.width(), 500);
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, dlg.width() - 105, dlg.height()));
    EXPECT_EQ(dlg.GetDlgItem(IDC_COVER)->geometry(), QRect(0, 0, 101, 143));
    // The default cover is the 100 x 140 JPEG; icon group 128 has both sizes.
    EXPECT_EQ(dlg.Picture().m_nWidth, 100);
    EXPECT_EQ(dlg.Picture().m_nHeight, 140);
    const QList<QSize> icons = dlg.windowIcon().availableSizes();
    EXPECT_TRUE(icons.contains(QSize(32, 32)) && icons.contains(QSize(16, 16)));
}

TEST_F(ViewerTest, ViewerStartTakesThePathFromTheCommandLine) {
    const std::string p257(257, 'p');
    const std::string p258(258, 'p');
    // clang-format off
    const std::pair<std::string, std::optional<std::string>> rules[] = {
        {"", std::nullopt},           {"\"/a b/c.box\"", "/a b/c.box"},  {"\"/a/b.box", "/a/b.box"},
        {"/a/b.box\"", "/a/b.box"},    {"\"\"x\"\"", "\"x\""},            {" /a/b.box ", " /a/b.box "},
        {"/a/b.box -log 8", "/a/b.box -log 8"},   {std::string(259, 'x'), std::string(259, 'x')},
        {std::string(260, 'x'), std::nullopt},   {"\"" + p257 + "\"", p257},
        {"\"" + p258 + "\"", std::nullopt},  // refused before the quotes go
    };
    // clang-format on
    for (const auto& [line, path] : rules) {
        EXPECT_EQ(CommandLinePath(line), path) << line;
    }
}

TEST_F(ViewerTest, ViewerDisplayFillsTheLabelsAndLeavesWhatAFileDoesNotSet) {
    const Bytes cover = SolidBmp(kRed, 30, 50);
    const Bytes data = Stream({Token(0x10, "Kiste & Co"), Token(0x50, "Film\xE4"),
                               Token(0x60, "Inhalt eins"), Token(0x61, "Kommentar zwei")});
    const QString text = QString::fromUtf8(
        "\nBox-Titel:\t\tKiste & Co\nFilm-Titel:\t\tFilm\xC3\xA4\n[Inhalt]\nInhalt eins"
        "\n[Kommentar]\nKommentar zwei");
    auto box = [&](unsigned char flags, bool withCover, const char* magic, const char* date) {
        BoxSpec b;
        b.magic = magic;
        b.flags = flags;
        b.date = date;
        b.time = "235958";
        if (withCover) {
            b.cover = (flags & 0x40) ? Compress(cover) : cover;
        }
        b.data = (flags & 0x80) ? Compress(data) : data;
        return b;
    };
    const std::string shortFile = Path("short.box");
    WriteFile(shortFile, Bytes(10, 'M'));
    struct Step {
        std::string path;
        QStringList want;
        bool newPicture;
    };
    const QString h50 = QString::fromUtf8("H\xC3\xB6he: 50");
    // clang-format off
    const Step steps[] = {
        {WriteBox(m_dir, "a.box", box(0x00, true, "MIRAX4.0", "20060131")),
         {"Typ: Bmp", "Breite: 30", h50, "keine", "31.01.2006", "23:59:58", text}, true},
        {WriteBox(m_dir, "c.BoX", box(0xC2, true, "MIRAX4.0", "20060133")),
         {"Typ: Gif", "Breite: 30", h50, "Cover & Daten", "33.01.2006", "23:59:58", text}, true},
        // Without a cover the picture and its labels stay.
        {WriteBox(m_dir, "d.box", box(0x87, false, "MIRAX4.0", "19991224")),
         {"Typ: Gif", "Breite: 30", h50, "Daten", "24.12.1999", "23:59:58", text}, false},
        // A wrong magic sets the header's labels and clears only the text.
        {WriteBox(m_dir, "e.box", box(0x40, true, "MIRAX3.0", "20200229")),
         {"Typ: Gif", "Breite: 30", h50, "Cover", "29.02.2020", "23:59:58", ""}, false},
        // What is no box file leaves the window as it was.
        {shortFile, {"Typ: Gif", "Breite: 30", h50, "Cover", "29.02.2020", "23:59:58", ""}, false},
        {Path("missing.box"),
         {"Typ: Gif", "Breite: 30", h50, "Cover", "29.02.2020", "23:59:58", ""}, false},
    };
    // clang-format on
    CViewerDlg dlg{TestApp()};
    dlg.show();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.path);
        const qint64 before = dlg.Picture().Image().cacheKey();
        dlg.OpenBoxFile(s.path);
        EXPECT_EQ(Snapshot(dlg), s.want);
        EXPECT_EQ(dlg.Picture().Image().cacheKey() != before, s.newPicture);
    }
    EXPECT_EQ(LabelOf(dlg, IDC_COMPRESSION_LABEL), QStringLiteral("Komprimierung:"));
}

TEST_F(ViewerTest, DropEditShowsOneDroppedBoxAndLeavesEverythingElse) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    auto local = [](const std::string& path) {
        return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
    };
    // The view announces each accepted drop once, with the name it kept.
    std::vector<std::string> announced;
    QObject::connect(&dlg.TextView(), &CDropEdit::FileDropped,
                     [&announced](const std::string& path) { announced.push_back(path); });
    const std::string shown = SimpleBox("shown.box", "20050505", "Erste");
    const std::string other = SimpleBox("other.box", "20060606", "Zweite");
    const std::string text = Path("notes.txt");
    WriteFile(text, ToBytes("nur Text"));
    const std::string longName = (m_dir.path() + u'/' + QString(400, u'a')).toStdString();
    // Not a drop target: the left column and the window itself.
    EXPECT_FALSE(DragAndDrop(dlg.GetDlgItem(IDC_COVER), {local(shown)}));
    EXPECT_FALSE(DragAndDrop(&dlg, {local(shown)}));
    const struct {
        const char* what;
        QList<QUrl> urls;
        std::vector<std::string> announced;
        bool shows;
        const char* date;
        Qt::DropActions offered = Qt::CopyAction;
        bool accepted = true;
    } drops[] = {
        {"one box", {local(shown)}, {shown}, true, "05.05.2005"},
        {"two files at once", {local(other), local(shown)}, {}, false, "05.05.2005"},
        // clang-format off
        {"no local file", {QUrl(QStringLiteral("https://example.org/x.box"))}, {}, false,
         "05.05.2005"},
        // clang-format on
        {"another extension", {local(text)}, {text}, false, "05.05.2005"},
        {"a name of 400 bytes", {local(longName)}, {longName.substr(0, 259)}, false, "05.05.2005"},
        {"the other box", {local(other)}, {other}, true, "06.06.2006"},
        // Shift proposes a move: taken as a copy where a copy is offered too.
        {"move only", {local(shown)}, {}, false, "06.06.2006", Qt::MoveAction, false},
        {"move or copy",
         {local(shown)},
         {shown},
         true,
         "05.05.2005",
         Qt::CopyAction | Qt::MoveAction},
    };
    for (const auto& d : drops) {
        SCOPED_TRACE(d.what);
        dlg.TextView().setPlainText(QStringLiteral("getippt"));
        announced.clear();
        EXPECT_EQ(DragAndDrop(dlg.TextView().viewport(), d.urls, d.offered, true), d.accepted);
        EXPECT_EQ(announced, d.announced);
        EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QString::fromLatin1(d.date));
        EXPECT_EQ(dlg.TextView().toPlainText() == QStringLiteral("getippt"), !d.shows);
    }
    EXPECT_EQ(dlg.TextView().textCursor().position(), 0);  // a dropped box shows its top
}

// Counts the about boxes run; each run asks for another one, as F1 pressed
// inside the open box would.
class AboutCountingDlg : public CViewerDlg {
public:
    AboutCountingDlg() : CViewerDlg(TestApp()) {}
    int runs = 0;

protected:
    void RunAboutBox() override {
        ++runs;
        OnCommand(ID_HELP, 0);
        ShowAbout();
    }
};

TEST_F(ViewerTest, ViewerCommands) {
    // A title wider than the view, so the first view could scroll sideways.
    const std::string first = "Erster " + std::string(200, '-');
    const std::string path = SimpleBox("refresh.box", "20010101", first);
    TestApp().SetCommandLineText(path);
    AboutCountingDlg dlg;
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    CDropEdit& view = dlg.TextView();
    // At start the caret sits after the last character, without a selection,
    // and the view stays at its left edge, where the line can be read.
    EXPECT_EQ(view.textCursor().position(), view.document()->characterCount() - 1);
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    // Pointer 147 over the whole view, even after the text widget set its I-beam.
    const QImage arrow =
        QImage(QStringLiteral(":/res/CURSOR/147")).convertToFormat(QImage::Format_ARGB32);
    view.viewport()->setCursor(Qt::IBeamCursor);
    for (QWidget* part :
         {static_cast<QWidget*>(&view), view.viewport(),
          static_cast<QWidget*>(view.verticalScrollBar()), dlg.GetDlgItem(IDC_TYPE)}) {
        const QCursor cursor = part->cursor();
        EXPECT_EQ(cursor.shape() == Qt::BitmapCursor && cursor.hotSpot() == QPoint(0, 0) &&
                      cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32) == arrow,
                  part != dlg.GetDlgItem(IDC_TYPE))
            << part->metaObject()->className();
    }

    // About: the system menu's entry (its low four bits are the system's), F1
    // and both context menus; nothing else.
    dlg.OnSysCommand(IDM_ABOUTBOX | 0x3, 0);
    dlg.OnSysCommand(0xF060, 0);
    EXPECT_FALSE(dlg.OnCommand(0x1234, 0));
    QTest::keyClick(&view, Qt::Key_F1);
    EXPECT_EQ(dlg.runs, 2);
    for (const std::unique_ptr<QMenu>& menu :
         {dlg.CreateTextViewMenu(), dlg.CreateLeftColumnMenu()}) {
        EXPECT_EQ(menu->actions().back()->text(), QString::fromUtf8("Inf&o \xC3\xBC"
                                                                    "ber Quorvel..."));
        menu->actions().back()->trigger();
    }
    EXPECT_EQ(dlg.runs, 4);

    // F5 reads the file again from disk: typing is undone, changes appear.
    QTest::keyClicks(&view, QStringLiteral("getippt"));
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(view.toPlainText(), QString::fromStdString("\nBox-Titel:\t\t" + first));
    SimpleBox("refresh.box", "20020202", "Zweiter");
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("02.02.2002"));
}

// Records the commands the window's actions run instead of running them.
class CommandRecordingDlg : public CViewerDlg {
public:
    CommandRecordingDlg() : CViewerDlg(TestApp()) {}
    std::vector<CommandId> ran;

protected:
    void RunCommand(CommandId id) override { ran.push_back(id); }
};

// Each key of the table runs its own command and nothing else, from the text
// and from the find bar's field alike; a key in two rows reaches neither.
TEST_F(ViewerTest, EveryKeyOfTheCommandTableRunsItsCommandAlone) {
    std::map<int, const char*> owner;
    for (const ViewerCommand& command : kViewerCommands) {
        for (const QKeyCombination key : command.keys) {
            if (key.key() != Qt::Key_unknown) {
                const auto [first, fresh] = owner.emplace(key.toCombined(), command.name);
                EXPECT_TRUE(fresh)
                    << KeyName(key) << " in " << first->second << " and " << command.name;
            }
        }
    }
    CommandRecordingDlg dlg;
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.OpenFindBar();
    for (QWidget* target : {static_cast<QWidget*>(&dlg.TextView()),
                            static_cast<QWidget*>(dlg.FindBar().SearchField())}) {
        for (const ViewerCommand& command : kViewerCommands) {
            for (const QKeyCombination key : command.keys) {
                if (key.key() == Qt::Key_unknown) {
                    continue;
                }
                SCOPED_TRACE(KeyName(key) + " in " + target->metaObject()->className());
                dlg.ran.clear();
                QTest::keyClick(target, key.key(), key.keyboardModifiers());
                EXPECT_EQ(dlg.ran, std::vector<CommandId>{command.id});
            }
        }
    }
}

const QString kExamples = QStringLiteral(QUORVEL_SOURCE_DIR "/examples/");

std::string Example(const char* name) {
    return QFile::encodeName(kExamples + QString::fromLatin1(name)).toStdString();
}

class ViewerFeatures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        TestApp().SetCommandLineText("");
        m_dlg.show();
        m_dlg.activateWindow();  // shortcuts reach the active window only
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    }

    QTemporaryDir m_dir;
    CViewerDlg m_dlg{TestApp()};
};

// x of each line's value (the first character after the label's tabs), as
// the view lays the line out.
std::vector<qreal> ValueColumns(const CDropEdit& view) {
    std::vector<qreal> columns;
    for (const QString& line : view.toPlainText().split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0) {
            continue;
        }
        qsizetype value = tab;
        while (value < line.size() && line[value] == u'\t') {
            ++value;
        }
        QTextLayout layout(line, view.font());
        layout.setTextOption(view.document()->defaultTextOption());
        layout.beginLayout();
        QTextLine row = layout.createLine();
        row.setLineWidth(1e6);
        layout.endLayout();
        columns.push_back(row.cursorToX(static_cast<int>(value)));
    }
    return columns;
}

TEST_F(ViewerFeatures, EveryValueStartsInOneColumnAtEveryZoom) {
    // Every code once (so every fixed label), then the example with
    // languages and persons.
    BoxSpec box;
    for (int code = 0; code < 256; ++code) {
        Append(box.data, Token(static_cast<unsigned char>(code), "Wert"));
    }
    const std::string all = WriteBox(m_dir, QStringLiteral("all.box"), box);
    CDropEdit& view = m_dlg.TextView();
    const qreal base = view.font().pointSizeF();
    const auto keys = [&view](std::initializer_list<Qt::Key> pressed) {
        for (Qt::Key key : pressed) {
            QTest::keyClick(&view, key, Qt::ControlModifier);
        }
    };
    const auto wheel = [&view](int angle) {
        QWheelEvent event(QPointF(5, 5), view.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, angle), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    // Zoomed by keys and the wheel, the text size follows and the column holds.
    const std::pair<std::function<void()>, qreal> steps[] = {
        {[] {}, base},
        {[&] {
             keys({Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Minus});
         },
         base - 3},
        {[&] {
             keys({Qt::Key_0, Qt::Key_Plus, Qt::Key_Equal});
         },
         base + 2},
        {[&] { wheel(240); }, base + 4},
        {[&] { wheel(-120); }, base + 3},
        {[&] {
             for (int i = 0; i < 100; ++i)
                 m_dlg.Zoom().ZoomOut();
         },
         CTextZoom::kMinPointSize},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i].first();
        EXPECT_EQ(view.font().pointSizeF(), steps[i].second);
        std::vector<qreal> columns;
        for (const std::string& path : {all, Example("two-dvds.box")}) {
            m_dlg.OpenBoxFile(path);
            const std::vector<qreal> more = ValueColumns(view);
            columns.insert(columns.end(), more.begin(), more.end());
        }
        ASSERT_GT(columns.size(), 60u);
        const auto [low, high] = std::minmax_element(columns.begin(), columns.end());
        EXPECT_LE(*high - *low, 1.0) << "from " << *low << " to " << *high;
    }
    // The text itself keeps the renderer's tabs.
    m_dlg.OpenBoxFile(all);
    EXPECT_TRUE(view.toPlainText().contains("\nBox-Titel:\t\tWert\n"));
}

// Qt's own entries speak German beside ours; the reason a file is not shown
// goes to stderr in the dump tool's words, one line.
TEST_F(ViewerFeatures, GermanMenusAndTheReasonOnStderr) {
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (QFile::exists(qm)) {
        QTranslator translator;
        ASSERT_TRUE(InstallGermanQtTranslations(translator));
        m_dlg.OpenBoxFile(QUORVEL_SOURCE_DIR "/examples/two-dvds.box");
        m_dlg.TextView().selectAll();
        QStringList entries;
        const std::unique_ptr<QMenu> menu = m_dlg.CreateTextViewMenu();
        for (const QAction* action : menu->actions()) {
            entries << action->text().section(u'\t', 0, 0);  // without the shortcut
        }
        QCoreApplication::removeTranslator(&translator);
        for (const char* german : {"&Kopieren", "Alles ausw\xC3\xA4hlen"}) {
            EXPECT_TRUE(entries.contains(QString::fromUtf8(german)))
                << german << " in " << entries.join(u'|').toStdString();
        }
    }
    const std::string missing = QFile::encodeName(m_dir.filePath("fehlt.box")).toStdString();
    ::testing::internal::CaptureStderr();
    m_dlg.OpenBoxFile(missing);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "quorvel: " + missing + ": not found\n");
}

TEST_F(ViewerFeatures, FindHighlightsEveryMatchAndStepsRound) {
    m_dlg.OpenBoxFile(Example("two-dvds.box"));
    const QString text = m_dlg.TextView().toPlainText();
    QTest::keyClick(&m_dlg.TextView(), Qt::Key_F, Qt::ControlModifier);
    CFindBar& bar = m_dlg.FindBar();
    ASSERT_TRUE(bar.isVisible());
    ASSERT_TRUE(bar.SearchField()->hasFocus());

    struct Case {
        const char* needle;
        int matches;
        bool notFound;
    };
    for (const Case& c :
         {Case{"nebelwald", static_cast<int>(text.count("Nebelwald", Qt::CaseInsensitive)), false},
          Case{"FILM-TITEL:", static_cast<int>(text.count("Film-Titel:")), false},
          Case{"gibt es nicht", 0, true}}) {
        SCOPED_TRACE(c.needle);
        bar.SearchField()->clear();
        QTest::keyClicks(bar.SearchField(), QString::fromUtf8(c.needle));
        EXPECT_EQ(bar.HighlightCount(), c.matches);
        EXPECT_EQ(bar.Status(), c.notFound ? QStringLiteral("nicht gefunden") : QString());
    }
    ASSERT_GT(text.count("Film-Titel:"), 2);

    // F3 goes forward, Shift+F3 back, each round the end.
    bar.SearchField()->setText(QStringLiteral("film-titel:"));
    m_dlg.TextView().moveCursor(QTextCursor::Start);
    std::vector<int> starts;
    for (int i = 0; i <= text.count("Film-Titel:"); ++i) {
        QTest::keyClick(&m_dlg.TextView(), Qt::Key_F3);
        starts.push_back(m_dlg.TextView().textCursor().selectionStart());
    }
    EXPECT_EQ(starts.front(), text.indexOf("Film-Titel:"));
    EXPECT_EQ(starts.back(), starts.front());
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end() - 1));
    QTest::keyClick(&m_dlg.TextView(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(m_dlg.TextView().textCursor().selectionStart(), text.lastIndexOf("Film-Titel:"));

    // Escape closes the bar first, then the viewer.
    QTest::keyClick(bar.SearchField(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(m_dlg.TextView().extraSelections().isEmpty());
    EXPECT_TRUE(m_dlg.isVisible());
    QTest::keyClick(&m_dlg.TextView(), Qt::Key_Escape);
    EXPECT_FALSE(m_dlg.isVisible());
}

TEST_F(ViewerFeatures, CtrlPageKeysStepThroughTheFolderInFileManagerOrder) {
    const QDir dir(m_dir.path());
    BoxSpec box;
    box.data = Stream({Token(0x10, "x")});
    for (const char* name :
         {"Teil 10.box", "teil 2.box", "Teil 1.BOX", "Teil 1b.box", "notiz.txt", "Teil 9.box"}) {
        WriteBox(m_dir, QString::fromUtf8(name), box);
    }
    WriteFile(QFile::encodeName(dir.filePath("Teil 1b.box")).toStdString(), Bytes(10, 'x'));

    m_dlg.OpenBoxFile(QFile::encodeName(dir.filePath("Teil 1.BOX")).toStdString());
    const auto shown = [this] {
        return QFileInfo(QString::fromStdString(m_dlg.LastShownPath())).fileName();
    };
    struct Case {
        Qt::Key key;
        const char* expected;
        bool reason;  // a line on stderr
    };
    for (const Case& c :
         {Case{Qt::Key_PageUp, "Teil 1.BOX", false},
          Case{Qt::Key_PageDown, "Teil 1.BOX", true},  // Teil 1b: not shown
          Case{Qt::Key_PageDown, "teil 2.box", false}, Case{Qt::Key_PageDown, "Teil 9.box", false},
          Case{Qt::Key_PageDown, "Teil 10.box", false},
          Case{Qt::Key_PageDown, "Teil 10.box", false},
          Case{Qt::Key_PageUp, "Teil 9.box", false}}) {
        SCOPED_TRACE(c.expected);
        ::testing::internal::CaptureStderr();
        QTest::keyClick(&m_dlg.TextView(), c.key, Qt::ControlModifier);
        EXPECT_EQ(::testing::internal::GetCapturedStderr().empty(), !c.reason);
        EXPECT_EQ(shown(), QString::fromUtf8(c.expected));
    }
}

TEST_F(ViewerFeatures, SaveCoverWritesTheExamplesCoverBytesExactly) {
    const QString config = g_testHome + "/config";
    for (const char* name : {"two-dvds.jpg", "kinderkiste.bmp", "krimi-abende.gif"}) {
        SCOPED_TRACE(name);
        const QFileInfo cover(kExamples + "covers/" + name);
        m_dlg.OpenBoxFile(Example((cover.completeBaseName() + ".box").toLatin1().constData()));
        EXPECT_EQ(CoverExtension(m_dlg.CoverBytes()), cover.suffix());

        // The dialog proposes the box's name with the cover's extension.
        QString proposed;
        const QString target = m_dir.filePath(cover.completeBaseName());
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                proposed = dialog->selectedFiles().value(0);
                dialog->selectFile(target);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        answer.start(10);
        const std::unique_ptr<QMenu> menu = m_dlg.CreateLeftColumnMenu();
        ASSERT_TRUE(menu->actions().front()->isEnabled());
        menu->actions().front()->trigger();
        answer.stop();
        EXPECT_EQ(QFileInfo(proposed).fileName(), cover.fileName());

        QFile written(target + "." + cover.suffix());
        QFile original(cover.filePath());
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), original.readAll());
    }
    EXPECT_TRUE(QDir(config).isEmpty()) << "the file dialog wrote settings";

    // A file without a cover leaves nothing to save, even over an old one.
    BoxSpec bare;
    bare.data = Stream({Token(0x10, "ohne")});
    m_dlg.OpenBoxFile(WriteBox(m_dir, QStringLiteral("ohne.box"), bare));
    EXPECT_FALSE(m_dlg.CreateLeftColumnMenu()->actions().front()->isEnabled());
}

}  // namespace
}  // namespace quorvel::testing

// One application object for every window test, on Qt's offscreen platform,
// with HOME and the XDG folders in a fresh temporary folder so nothing the
// window might write can reach the real home folder.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quorvel_ui_test_XXXXXX"));
    if (!home.isValid()) {
        return 1;
    }
    quorvel::testing::g_testHome = home.path();
    const QByteArray path = QFile::encodeName(home.path());
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        setenv(name, path.constData(), 1);  // 0700, as Qt wants for the runtime folder
    }
    setenv("XDG_CONFIG_HOME", (path + "/config").constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
