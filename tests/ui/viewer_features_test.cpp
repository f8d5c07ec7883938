// Run: ctest --test-dir build -R 'ViewerFeatures'
// The viewer's value column, German menus, find, zoom, stepping through a
// folder, saving the cover, drops as copies and the reason on stderr, on
// the examples and on boxes made here.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>
#include <filesystem>
#include <functional>

#include "ui/cover_saver.h"
#include "ui/find_bar.h"
#include "ui/text_zoom.h"
#include "ui/translations.h"
#include "ui_test_support.h"

namespace quorvel::testing {
namespace {

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

    // Opens `path` and returns what the viewer wrote on stderr meanwhile.
    std::string OpenCapturingStderr(const std::string& path) {
        ::testing::internal::CaptureStderr();
        m_dlg.OpenBoxFile(path);
        return ::testing::internal::GetCapturedStderr();
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
    for (const int steps : {0, -3, 8}) {
        SCOPED_TRACE(steps);
        m_dlg.Zoom().Reset();
        for (int i = 0; i < std::abs(steps); ++i) {
            steps > 0 ? m_dlg.Zoom().ZoomIn() : m_dlg.Zoom().ZoomOut();
        }
        std::vector<qreal> columns;
        for (const std::string& path : {all, Example("two-dvds.box")}) {
            m_dlg.OpenBoxFile(path);
            const std::vector<qreal> more = ValueColumns(m_dlg.TextView());
            columns.insert(columns.end(), more.begin(), more.end());
        }
        ASSERT_GT(columns.size(), 60u);
        const auto [low, high] = std::minmax_element(columns.begin(), columns.end());
        EXPECT_LE(*high - *low, 1.0) << "from " << *low << " to " << *high;
    }
    // The text itself keeps the renderer's tabs.
    m_dlg.OpenBoxFile(all);
    EXPECT_TRUE(m_dlg.TextView().toPlainText().contains("\nBox-Titel:\t\tWert\n"));
}

TEST_F(ViewerFeatures, StandardContextMenuEntriesAreGerman) {
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (!QFile::exists(qm)) {
        GTEST_SKIP() << qm.toStdString() << " is not installed";
    }
    QTranslator translator;
    ASSERT_TRUE(InstallGermanQtTranslations(translator));
    m_dlg.OpenBoxFile(Example("two-dvds.box"));
    m_dlg.TextView().selectAll();
    QStringList entries;
    const std::unique_ptr<QMenu> menu = m_dlg.CreateTextViewMenu();
    for (const QAction* action : menu->actions()) {
        entries << action->text().section(u'\t', 0, 0);  // without the shortcut
    }
    QCoreApplication::removeTranslator(&translator);
    for (const char* german : {"&R\xC3\xBC"
                               "ckg\xC3\xA4ngig",
                               "&Kopieren", "Alles ausw\xC3\xA4hlen"}) {
        EXPECT_TRUE(entries.contains(QString::fromUtf8(german)))
            << german << " in " << entries.join(u'|').toStdString();
    }
    for (const char* english : {"&Undo", "&Copy", "Select All"}) {
        EXPECT_FALSE(entries.contains(QString::fromUtf8(english))) << english;
    }
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

TEST_F(ViewerFeatures, ZoomKeysAndWheelChangeTheTextSizeOnly) {
    m_dlg.OpenBoxFile(Example("kinderkiste.box"));
    CDropEdit& view = m_dlg.TextView();
    const qreal base = view.font().pointSizeF();
    const QString text = view.toPlainText();
    const auto wheel = [&view](int angle) {
        QWheelEvent event(QPointF(5, 5), view.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, angle), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    struct Step {
        std::function<void()> act;
        qreal expected;
    };
    const Step steps[] = {
        {[&] { QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier); }, base + 1},
        {[&] { QTest::keyClick(&view, Qt::Key_Equal, Qt::ControlModifier); }, base + 2},
        {[&] { wheel(240); }, base + 4},
        {[&] { wheel(-120); }, base + 3},
        {[&] { QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier); }, base},
        {[&] { QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier); }, base - 1},
        {[&] {
             for (int i = 0; i < 100; ++i)
                 m_dlg.Zoom().ZoomOut();
         },
         CTextZoom::kMinPointSize},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i].act();
        EXPECT_EQ(view.font().pointSizeF(), steps[i].expected);
    }
    EXPECT_EQ(view.toPlainText(), text);
    EXPECT_EQ(LabelOf(m_dlg, IDC_TYPE).isEmpty(), false);
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

TEST_F(ViewerFeatures, AFileThatCannotBeShownIsNamedOnStderr) {
    m_dlg.OpenBoxFile(Example("krimi-abende.box"));
    const QStringList before = Snapshot(m_dlg);
    const std::string missing = QFile::encodeName(m_dir.filePath("fehlt.box")).toStdString();
    const std::string folder = QFile::encodeName(m_dir.filePath("ordner.box")).toStdString();
    std::filesystem::create_directory(folder);
    const std::string text = QFile::encodeName(m_dir.filePath("notiz.txt")).toStdString();
    WriteFile(text, Bytes(100, 'x'));
    const std::pair<std::string, std::string> cases[] = {
        {missing, "quorvel: " + missing + ": not found\n"},
        {folder, "quorvel: " + folder + ": not a regular file\n"},
        {text, "quorvel: " + text + ": not opened: the name does not end in .box\n"},
    };
    for (const auto& [path, line] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(OpenCapturingStderr(path), line);
        EXPECT_EQ(Snapshot(m_dlg), before);
    }
    EXPECT_EQ(OpenCapturingStderr(Example("two-dvds.box")), "");
}

TEST_F(ViewerFeatures, ADropProposedAsAMoveIsTakenAsACopy) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(kExamples + "two-dvds.box")});
    QWidget* target = m_dlg.TextView().viewport();
    struct Case {
        Qt::DropActions offered;
        bool accepted;
    };
    // Shift proposes a move where a copy is offered too.
    for (const Case& c :
         {Case{Qt::CopyAction | Qt::MoveAction, true}, Case{Qt::MoveAction, false}}) {
        SCOPED_TRACE(static_cast<int>(c.offered));
        QDragEnterEvent enter(QPoint(5, 5), c.offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_EQ(enter.proposedAction(), Qt::MoveAction);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), c.offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(enter.isAccepted(), c.accepted);
        EXPECT_EQ(drop.isAccepted(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
