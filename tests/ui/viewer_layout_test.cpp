// Run: ctest --test-dir build -R 'ViewerLayout|ViewerPaint|ViewerFocus|ViewerClose'
// How the main window follows its size, paints the cover, places the caret
// and ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

#include "ui_test_support.h"

namespace quorvel::testing {
namespace {

class ViewerLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        TestApp().SetCommandLineText("");
    }
    void TearDown() override { TestApp().SetCommandLineText(""); }

    std::string BoxWithCover(const QString& name, const QImage& cover) {
        BoxSpec box;
        box.cover = EncodeImage(cover);
        box.data = Stream({Token(0x10, "Bild")});
        return WriteBox(m_dir, name, box);
    }

    // `lines` title lines "<tag><number>" padded to `width` characters.
    std::string LongBox(const QString& name, const std::string& tag, int lines, int width) {
        BoxSpec box;
        for (int i = 0; i < lines; ++i) {
            std::string title = tag + std::to_string(i);
            title.resize(static_cast<size_t>(width), 'w');
            Append(box.data, Token(0x10, title));
        }
        Append(box.data, Token(0x80, Bytes{}));
        return WriteBox(m_dir, name, box);
    }

    QTemporaryDir m_dir;
};

QRect LeftColumn(const CViewerDlg& dlg, int id) {
    return dlg.GetDlgItem(id)->geometry();
}

TEST_F(ViewerLayoutTest, ViewerLayoutMovesOnlyTheTextView) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    const QRect cover = LeftColumn(dlg, IDC_COVER);
    const QRect time = LeftColumn(dlg, IDC_EXPORT_TIME);

    const QSize sizes[] = {{600, 400}, {430, 700}, {300, 200}};
    for (const QSize size : sizes) {
        dlg.resize(size);
        EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, size.width() - 105, size.height()));
        EXPECT_EQ(LeftColumn(dlg, IDC_COVER), cover);
        EXPECT_EQ(LeftColumn(dlg, IDC_EXPORT_TIME), time);
    }
}

TEST_F(ViewerLayoutTest, ViewerLayoutStopsAtTheMinimumOuterSize) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.resize(20, 20);
    QApplication::processEvents();
    EXPECT_EQ(dlg.frameGeometry().size(), QSize(200, 167));
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, dlg.width() - 105, dlg.height()));
}

TEST_F(ViewerLayoutTest, ViewerLayoutMinimiseRestoreAndMaximise) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.resize(500, 360);
    const QRect cover = LeftColumn(dlg, IDC_COVER);
    const QRect date = LeftColumn(dlg, IDC_EXPORT_DATE);

    dlg.showMinimized();
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, 0, 0));

    dlg.showNormal();
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, dlg.width() - 105, dlg.height()));
    EXPECT_EQ(dlg.size(), QSize(500, 360));

    dlg.showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(dlg.isMaximized());
    EXPECT_GT(dlg.width(), 500);
    EXPECT_EQ(dlg.TextView().geometry(), QRect(105, 0, dlg.width() - 105, dlg.height()));
    EXPECT_EQ(LeftColumn(dlg, IDC_COVER), cover);
    EXPECT_EQ(LeftColumn(dlg, IDC_EXPORT_DATE), date);
}

// A 2 x 2 picture, one colour per quarter, so stretching shows where each
// quarter lands.
QImage Quarters() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    image.setPixelColor(1, 0, QColor(0, 255, 0));
    image.setPixelColor(0, 1, QColor(0, 0, 255));
    image.setPixelColor(1, 1, QColor(255, 255, 0));
    return image;
}

TEST_F(ViewerLayoutTest, ViewerPaintStretchesTheCoverTo99By139) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.OpenBoxFile(BoxWithCover(QStringLiteral("quarters.box"), Quarters()));
    ASSERT_EQ(dlg.Picture().m_nWidth, 2);

    const QImage frame = dlg.GetDlgItem(IDC_COVER)->grab().toImage();
    ASSERT_EQ(frame.size(), QSize(101, 143));
    struct Probe {
        int x, y;
        QColor colour;
    };
    // 99 x 139 cut in halves: columns 0-49 and 50-98, rows 0-69 and 70-138.
    const Probe inside[] = {
        {0, 0, QColor(255, 0, 0)},     {49, 69, QColor(255, 0, 0)},    {50, 0, QColor(0, 255, 0)},
        {98, 69, QColor(0, 255, 0)},   {0, 70, QColor(0, 0, 255)},     {49, 138, QColor(0, 0, 255)},
        {50, 70, QColor(255, 255, 0)}, {98, 138, QColor(255, 255, 0)},
    };
    for (const Probe& p : inside) {
        EXPECT_EQ(frame.pixelColor(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    // Column 99 on and row 139 on lie outside the picture.
    const QPoint outside[] = {{99, 0}, {100, 70}, {99, 138}, {0, 139}, {50, 142}, {100, 142}};
    const QColor quarterColours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                                     QColor(255, 255, 0)};
    for (const QPoint p : outside) {
        for (const QColor& c : quarterColours) {
            EXPECT_NE(frame.pixelColor(p), c) << p.x() << "," << p.y();
        }
    }
}

TEST_F(ViewerLayoutTest, ViewerPaintFollowsEveryNewCoverAndNotTheFrameSize) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    QImage wide(300, 100, QImage::Format_RGB32);
    wide.fill(QColor(0, 128, 255));
    dlg.OpenBoxFile(BoxWithCover(QStringLiteral("wide.box"), wide));
    dlg.resize(800, 600);  // the frame and its picture do not grow
    const QImage frame = dlg.GetDlgItem(IDC_COVER)->grab().toImage();
    EXPECT_EQ(frame.pixelColor(98, 138), QColor(0, 128, 255));
    EXPECT_NE(frame.pixelColor(99, 139), QColor(0, 128, 255));

    // A cover that is no picture leaves the frame without one.
    BoxSpec broken;
    broken.cover = ToBytes("not a picture at all");
    dlg.OpenBoxFile(WriteBox(m_dir, QStringLiteral("broken.box"), broken));
    EXPECT_TRUE(dlg.Picture().IsEmpty());
    EXPECT_NE(dlg.GetDlgItem(IDC_COVER)->grab().toImage().pixelColor(50, 70), QColor(0, 128, 255));
}

TEST_F(ViewerLayoutTest, ViewerFocusAtStartShowsTheEndAndADropShowsTheTop) {
    TestApp().SetCommandLineText(LongBox(QStringLiteral("long.box"), "erste", 300, 200));
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    // No selection, the caret after the last character, the view scrolled
    // down to the last line but at the left edge, so that line can be read.
    CDropEdit& view = dlg.TextView();
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_EQ(view.textCursor().position(), view.document()->characterCount() - 1);
    EXPECT_GT(view.verticalScrollBar()->value(), 250);
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);

    const std::string other = LongBox(QStringLiteral("other.box"), "zweite", 200, 200);
    ASSERT_TRUE(DragAndDrop(view.viewport(), {QUrl::fromLocalFile(QString::fromStdString(other))}));
    ASSERT_TRUE(view.toPlainText().startsWith(QStringLiteral("\nBox-Titel:\t\tzweite0")));
    EXPECT_EQ(view.textCursor().position(), 0);
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
}

TEST_F(ViewerLayoutTest, ViewerFocusReturningFromAPopupKeepsTheSelection) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.OpenBoxFile(LongBox(QStringLiteral("select.box"), "z", 5, 30));
    CDropEdit& view = dlg.TextView();
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(3);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);

    QFocusEvent fromMenu(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(&view, &fromMenu);
    EXPECT_EQ(view.textCursor().selectionStart(), 3);
    EXPECT_EQ(view.textCursor().selectionEnd(), 10);

    // Coming back to the window is a real focus change: the selection goes,
    // the caret stays at its active end.
    QFocusEvent fromWindow(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&view, &fromWindow);
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_EQ(view.textCursor().position(), 10);
}

TEST_F(ViewerLayoutTest, ViewerCloseByEscapeInTheTextViewOrTheCloseBox) {
    CViewerDlg byEscape{TestApp()};
    byEscape.show();
    QTest::keyClick(&byEscape.TextView(), Qt::Key_Escape);
    EXPECT_FALSE(byEscape.isVisible());
    EXPECT_EQ(byEscape.result(), QDialog::Rejected);

    CViewerDlg byCloseBox{TestApp()};
    byCloseBox.show();
    byCloseBox.setResult(QDialog::Accepted);
    EXPECT_TRUE(byCloseBox.close());
    EXPECT_FALSE(byCloseBox.isVisible());
    EXPECT_EQ(byCloseBox.result(), QDialog::Rejected);

    // Typing other keys does not end it.
    CViewerDlg typing{TestApp()};
    typing.show();
    QTest::keyClicks(&typing.TextView(), QStringLiteral("abc"));
    QTest::keyClick(&typing.TextView(), Qt::Key_Return);
    EXPECT_TRUE(typing.isVisible());
}

}  // namespace
}  // namespace quorvel::testing
