// Run: ctest --test-dir build -R DropEdit
// Files dropped on the text view, and its pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QScrollBar>

#include "ui_test_support.h"

namespace quorvel::testing {
namespace {

QUrl Local(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

class DropEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        TestApp().SetCommandLineText("");
        m_dlg.show();
    }

    std::string Box(const QString& name, const std::string& date, const std::string& title) {
        BoxSpec box;
        box.date = date;
        box.cover = SolidBmp(QColor(10, 20, 30), 12, 16);
        box.data = Stream({Token(0x10, title)});
        return WriteBox(m_dir, name, box);
    }

    std::string DroppedPath() {
        std::string path;
        m_dlg.TextView().GetDroppedPath(path);
        return path;
    }

    QWidget* Viewport() { return m_dlg.TextView().viewport(); }

    QTemporaryDir m_dir;
    CViewerDlg m_dlg{TestApp()};
};

TEST_F(DropEditTest, DropEditShowsOneDroppedBoxEachTime) {
    const std::string path = Box(QStringLiteral("drop.box"), "20050505", "Gezogen");
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(path)}));
    EXPECT_EQ(DroppedPath(), path);
    EXPECT_EQ(LabelOf(m_dlg, IDC_EXPORT_DATE), QStringLiteral("05.05.2005"));
    EXPECT_EQ(LabelOf(m_dlg, IDC_WIDTH), QStringLiteral("Breite: 12"));
    EXPECT_EQ(m_dlg.TextView().toPlainText(), QStringLiteral("\nBox-Titel:\t\tGezogen"));

    // The same file again is shown again: typed text goes, the file comes back.
    m_dlg.TextView().setPlainText(QStringLiteral("changed"));
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(path)}));
    EXPECT_EQ(m_dlg.TextView().toPlainText(), QStringLiteral("\nBox-Titel:\t\tGezogen"));
}

TEST_F(DropEditTest, DropEditLeavesTheWindowAsItWasForEverythingElse) {
    const std::string shown = Box(QStringLiteral("shown.box"), "20050505", "Erste");
    const std::string other = Box(QStringLiteral("other.box"), "20060606", "Zweite");
    const std::string text = QFile::encodeName(m_dir.filePath("notes.txt")).toStdString();
    WriteFile(text, ToBytes("nur Text"));
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(shown)}));
    const WindowState before = Snapshot(m_dlg);

    // Two files at once: nothing stored, nothing shown.
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(other), Local(shown)}));
    EXPECT_EQ(Snapshot(m_dlg), before);
    EXPECT_EQ(DroppedPath(), shown);

    // A URL that is no local file cannot be fetched.
    ASSERT_TRUE(DragAndDrop(Viewport(), {QUrl(QStringLiteral("https://example.org/x.box"))}));
    EXPECT_EQ(Snapshot(m_dlg), before);
    EXPECT_EQ(DroppedPath(), shown);

    // Another extension is stored but not shown.
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(text)}));
    EXPECT_EQ(Snapshot(m_dlg), before);
    EXPECT_EQ(DroppedPath(), text);
    EXPECT_EQ(m_dlg.LastShownPath(), shown);
}

TEST_F(DropEditTest, DropEditIsTheOnlyDropTargetAndTakesOnlyFiles) {
    const std::string path = Box(QStringLiteral("target.box"), "20070707", "Ziel");
    for (const int id : {IDC_COVER, IDC_TYPE, IDC_EXPORT_TIME}) {
        EXPECT_FALSE(DragAndDrop(m_dlg.GetDlgItem(id), {Local(path)})) << id;
    }
    EXPECT_FALSE(DragAndDrop(&m_dlg, {Local(path)}));
    EXPECT_EQ(LabelOf(m_dlg, IDC_EXPORT_DATE), QStringLiteral("TT.MM.JJJJ"));

    // A text drag is refused by the view: it would otherwise paste the text.
    QMimeData words;
    words.setText(QStringLiteral("eingef\xC3\xBCgt"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &drop);
    EXPECT_FALSE(m_dlg.TextView().toPlainText().contains(QStringLiteral("eingef")));
}

TEST_F(DropEditTest, DropEditKeepsAtMost259BytesOfAName) {
    const QString folder = m_dir.path() + u'/';
    const auto nameOfLength = [&folder](qsizetype total) {
        return (folder + QString(total - folder.size(), u'a')).toStdString();
    };
    const std::string exact = nameOfLength(259);
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(exact)}));
    EXPECT_EQ(DroppedPath(), exact);

    const std::string longer = nameOfLength(400);
    ASSERT_TRUE(DragAndDrop(Viewport(), {Local(longer)}));
    EXPECT_EQ(DroppedPath(), longer.substr(0, 259));
}

TEST(DropEdit, DropEditWithoutOwnerStoresTheNameOnly) {
    CDropEdit edit;
    edit.setPlainText(QStringLiteral("unchanged"));
    ASSERT_TRUE(DragAndDrop(edit.viewport(), {QUrl::fromLocalFile(QStringLiteral("/x/y.box"))}));
    std::string path;
    EXPECT_NE(edit.GetDroppedPath(path), 0);
    EXPECT_EQ(path, "/x/y.box");
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("unchanged"));

    CDropEdit fresh;
    EXPECT_EQ(fresh.GetDroppedPath(path), 0);
    EXPECT_EQ(path, "");
}

bool IsDropCursor(const QCursor& cursor, const QImage& expected) {
    return cursor.shape() == Qt::BitmapCursor && cursor.hotSpot() == QPoint(0, 0) &&
           cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32) == expected;
}

TEST(DropEdit, DropEditShowsCursor147OverItsWholeArea) {
    const QImage arrow =
        QImage(QStringLiteral(":/res/CURSOR/147")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(arrow.size(), QSize(32, 32));
    EXPECT_EQ(arrow.pixelColor(0, 0).alpha(), 255);  // the tip is the hot spot

    CViewerDlg dlg{TestApp()};
    dlg.show();
    CDropEdit& view = dlg.TextView();
    QWidget* parts[] = {&view, view.viewport(), view.horizontalScrollBar(),
                        view.verticalScrollBar()};
    for (QWidget* part : parts) {
        EXPECT_TRUE(IsDropCursor(part->cursor(), arrow)) << part->metaObject()->className();
    }
    // The text widget sets its I-beam again now and then; the arrow returns.
    view.viewport()->setCursor(Qt::IBeamCursor);
    EXPECT_TRUE(IsDropCursor(view.viewport()->cursor(), arrow));

    // Off the view the window's own pointer shows.
    EXPECT_FALSE(IsDropCursor(dlg.GetDlgItem(IDC_TYPE)->cursor(), arrow));
    EXPECT_FALSE(IsDropCursor(dlg.cursor(), arrow));
}

}  // namespace
}  // namespace quorvel::testing
