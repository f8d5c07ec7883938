// Run: ctest --test-dir build -R TextFeeder
// Record texts of very many lines reach the view in slices from the event
// loop; the window stays usable meanwhile and ends up as one call would have
// left it. Ordinary texts still go in at once.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <string>

#include "app/applikation.h"
#include "ui/text_feeder.h"
#include "ui/viewer_dlg.h"
#include "ui/viewer_text.h"

namespace quorvel::testing {
namespace {

// Shows `m_startText` while the window opens, as a command-line file is.
class CFeedDlg : public CViewerDlg {
public:
    using CViewerDlg::CViewerDlg;
    using CViewerDlg::ShowBoxFile;
    std::string m_startText;

protected:
    bool OnInitDialog() override {
        CViewerDlg::OnInitDialog();
        ShowText(m_startText);
        return true;
    }

public:
    void ShowText(const std::string& text) {
        BoxDisplay display;
        display.shown = true;
        display.text = text;
        ShowBoxFile(display);
    }
};

CApplikation& App() {
    static CApplikation app;
    return app;
}

// `lines` record lines ending in CR LF, with some bare LFs, lone CRs and
// CR CR LF among them so cuts meet every kind of break; the last line is
// long, so showing its end would scroll sideways.
std::string RecordText(int lines, char tag) {
    static const char* const kEnds[] = {"\r\n", "\r\r\n", "\r", "\n", "\r\n"};
    std::string text;
    for (int i = 0; i < lines - 1; ++i) {
        text += tag;
        text += "Titel:\t" + std::to_string(i) + kEnds[i % 5];
    }
    return text + std::string(600, tag);
}

// What the view holds after one setPlainText of the same record text.
QString AtOnce(const std::string& text) {
    QPlainTextEdit view;
    view.setPlainText(RecordViewText(text));
    return view.toPlainText();
}

// More event-loop passes than a capped record text has slices.
void Drain() {
    for (int i = 0; i < 16 * 1024 * 1024 / 20 / CTextFeeder::kLinesPerSlice + 8; ++i) {
        QCoreApplication::processEvents();
    }
}

constexpr int kLimit = static_cast<int>(CTextFeeder::kMaxLinesAtOnce);

TEST(TextFeeder, ViewerShowsLongTextsInSlicesAndEndsAsOneCallWould) {
    struct Case {
        int lines;
        bool atOnce;
    };
    for (const Case& c : {Case{kLimit, true}, Case{kLimit + 1, false}, Case{3 * kLimit, false}}) {
        SCOPED_TRACE(c.lines);
        CFeedDlg dlg{App()};
        dlg.m_startText = RecordText(c.lines, 'a');
        dlg.show();
        QTextDocument* document = dlg.TextView().document();
        EXPECT_EQ(document->blockCount() == c.lines, c.atOnce);
        // Events run while the text is still arriving.
        bool ran = false;
        QTimer::singleShot(0, &dlg, [&ran] { ran = true; });
        QCoreApplication::processEvents();
        EXPECT_TRUE(ran);
        EXPECT_EQ(document->blockCount() < c.lines, !c.atOnce);

        Drain();
        EXPECT_EQ(dlg.TextView().toPlainText(), AtOnce(dlg.m_startText));
        EXPECT_TRUE(document->isUndoRedoEnabled());
        // Caret at the end, its line in sight, the view at the left edge.
        const CDropEdit& view = dlg.TextView();
        EXPECT_TRUE(view.textCursor().atEnd());
        EXPECT_FALSE(view.textCursor().hasSelection());
        const QRect caret = view.cursorRect();
        EXPECT_GE(caret.top(), 0);
        EXPECT_LE(caret.bottom(), view.viewport()->height());
        EXPECT_GT(view.verticalScrollBar()->value(), 0);
        EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    }
}

TEST(TextFeeder, AnotherFileDropsThePendingSlices) {
    struct Case {
        const char* name;
        int lines;
    };
    for (const Case& c : {Case{"small", 3}, Case{"empty", 0}, Case{"long", 2 * kLimit}}) {
        SCOPED_TRACE(c.name);
        CFeedDlg dlg{App()};
        dlg.m_startText = RecordText(3 * kLimit, 'a');
        dlg.show();
        QCoreApplication::processEvents();
        ASSERT_LT(dlg.TextView().document()->blockCount(), 3 * kLimit);
        const std::string next = c.lines == 0 ? std::string() : RecordText(c.lines, 'b');
        dlg.ShowText(next);
        Drain();
        EXPECT_EQ(dlg.TextView().toPlainText(), AtOnce(next));
        EXPECT_TRUE(dlg.TextView().document()->isUndoRedoEnabled());
        // A file opened later starts at its first line, as one call leaves it.
        EXPECT_EQ(dlg.TextView().textCursor().position(), 0);
        EXPECT_EQ(dlg.TextView().verticalScrollBar()->value(), 0);
    }
}

}  // namespace
}  // namespace quorvel::testing
