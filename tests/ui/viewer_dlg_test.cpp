// Run: ctest --test-dir build -R 'ViewerStart|ViewerDisplay|ViewerCommands'
// The main window's start-up from the command line, what a shown file puts
// into each control, and the commands that open files and the about box.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ui_test_support.h"

namespace quorvel::testing {
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

    QTemporaryDir m_dir;
};

// ---- start-up -------------------------------------------------------------

TEST_F(ViewerTest, ViewerStartShowsTheTemplateBeforeAnyFile) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Quorvel"));
    EXPECT_EQ(dlg.size(), QSize(420, 322));
    EXPECT_EQ(LabelOf(dlg, IDC_TYPE), QStringLiteral("Typ:"));
    EXPECT_EQ(LabelOf(dlg, IDC_WIDTH), QStringLiteral("Breite: "));
    EXPECT_EQ(LabelOf(dlg, IDC_HEIGHT), QString::fromUtf8("H\xC3\xB6he: "));
    EXPECT_EQ(LabelOf(dlg, IDC_COMPRESSION_LABEL), QStringLiteral("Komprimierung:"));
    EXPECT_EQ(LabelOf(dlg, IDC_COMPRESSION), QStringLiteral("keine"));
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_LABEL), QStringLiteral("Export-Zeitpunkt"));
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("TT.MM.JJJJ"));
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_TIME), QStringLiteral("HH:MM:SS"));
    EXPECT_TRUE(dlg.TextView().toPlainText().isEmpty());
    // Template rectangles in pixels: 0,186,67,8 du and the 67 x 88 du frame.
    EXPECT_EQ(dlg.GetDlgItem(IDC_EXPORT_TIME)->geometry(), QRect(0, 302, 101, 13));
    EXPECT_EQ(dlg.GetDlgItem(IDC_COVER)->geometry(), QRect(0, 0, 101, 143));
    EXPECT_EQ(dlg.GetDlgItem(IDC_RECORD_TEXT)->x(), 105);
    EXPECT_EQ(dlg.GetDlgItem(IDC_RECORD_TEXT), &dlg.TextView());
    // The default cover is the 100 x 140 JPEG resource.
    EXPECT_EQ(dlg.Picture().m_nWidth, 100);
    EXPECT_EQ(dlg.Picture().m_nHeight, 140);
    // Icon group 128 carries both sizes.
    const QList<QSize> sizes = dlg.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)));
}

struct CommandLineCase {
    const char* name;
    std::string before, after;  // around the box's path
    bool opens;
};

TEST_F(ViewerTest, ViewerStartTakesThePathFromTheCommandLine) {
    const std::string path = SimpleBox(QStringLiteral("start.box"));
    const CommandLineCase cases[] = {
        {"bare path", "", "", true},
        {"quoted", "\"", "\"", true},
        {"leading quote only", "\"", "", true},
        {"trailing quote only", "", "\"", true},
        {"an option after the path is part of it", "", " -log 8", false},
        {"blank after the path", "", " ", false},
    };
    for (const CommandLineCase& c : cases) {
        TestApp().SetCommandLineText(c.before + path + c.after);
        CViewerDlg dlg{TestApp()};
        dlg.show();
        EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE) == QStringLiteral("31.01.2006"), c.opens) << c.name;
        EXPECT_EQ(dlg.LastShownPath(), c.opens ? path : std::string()) << c.name;
    }
}

TEST_F(ViewerTest, ViewerStartRefusesLinesOf260CharactersEvenWithQuotes) {
    // Names padded so that the quoted command line is 259 or 260 characters.
    const auto padded = [this](size_t pathLength) {
        const QString folder = m_dir.path() + u'/';
        const qsizetype stem = static_cast<qsizetype>(pathLength) - folder.size() - 4;
        return SimpleBox(QString(stem, u'n') + QStringLiteral(".box"));
    };
    const std::string p257 = padded(257);
    const std::string p258 = padded(258);
    ASSERT_EQ(p257.size(), 257u);
    ASSERT_EQ(p258.size(), 258u);

    TestApp().SetCommandLineText("\"" + p257 + "\"");
    CViewerDlg shortEnough{TestApp()};
    shortEnough.show();
    EXPECT_EQ(shortEnough.LastShownPath(), p257);

    TestApp().SetCommandLineText("\"" + p258 + "\"");
    CViewerDlg tooLong{TestApp()};
    tooLong.show();
    EXPECT_EQ(tooLong.LastShownPath(), "");
    EXPECT_EQ(LabelOf(tooLong, IDC_EXPORT_DATE), QStringLiteral("TT.MM.JJJJ"));

    TestApp().SetCommandLineText("\"");  // an empty path, ignored
    CViewerDlg quoteOnly{TestApp()};
    quoteOnly.show();
    EXPECT_EQ(quoteOnly.LastShownPath(), "");
}

TEST_F(ViewerTest, ViewerStartOpensARelativePathFromTheStartingFolder) {
    SimpleBox(QStringLiteral("relative.box"));
    char* previous = getcwd(nullptr, 0);
    ASSERT_NE(previous, nullptr);
    ASSERT_EQ(chdir(QFile::encodeName(m_dir.path()).constData()), 0);
    TestApp().SetCommandLineText("relative.box");
    {
        CViewerDlg dlg{TestApp()};
        dlg.show();
        EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("31.01.2006"));
    }
    EXPECT_EQ(chdir(previous), 0);
    free(previous);
}

// ---- the display ----------------------------------------------------------

struct FlagsCase {
    unsigned char flags;
    const char* type;
    const char* compression;  // as shown on screen
};

TEST_F(ViewerTest, ViewerDisplayFillsEveryLabelAndTheView) {
    const FlagsCase cases[] = {
        {0x00, "Typ: Bmp", "keine"},
        {0x41, "Typ: Jpg", "Cover"},
        {0x87, "Typ: ???", "Daten"},
        {0xC2, "Typ: Gif", "Cover & Daten"},
    };
    const Bytes cover = SolidBmp(kRed, 30, 50);
    const Bytes data = Stream({Token(0x10, "Kiste & Co"), Token(0x50, "Film\xE4"),
                               Token(0x60, "Inhalt eins"), Token(0x61, "Kommentar zwei")});
    const QString text = QString::fromUtf8(
        "\nBox-Titel:\t\tKiste & Co\nFilm-Titel:\t\tFilm\xC3\xA4\n[Inhalt]\nInhalt eins"
        "\n[Kommentar]\nKommentar zwei");
    CViewerDlg dlg{TestApp()};
    dlg.show();
    for (const FlagsCase& c : cases) {
        BoxSpec box;
        box.flags = c.flags;
        box.date = "20060131";
        box.time = "235958";
        box.cover = (c.flags & 0x40) ? Compress(cover) : cover;
        box.data = (c.flags & 0x80) ? Compress(data) : data;
        dlg.OpenBoxFile(WriteBox(m_dir, QStringLiteral("flags.box"), box));
        const QString row = QString::number(c.flags, 16);
        EXPECT_EQ(LabelOf(dlg, IDC_TYPE), QString::fromLatin1(c.type)) << row.toStdString();
        EXPECT_EQ(LabelOf(dlg, IDC_WIDTH), QStringLiteral("Breite: 30"));
        EXPECT_EQ(LabelOf(dlg, IDC_HEIGHT), QString::fromUtf8("H\xC3\xB6he: 50"));
        EXPECT_EQ(LabelOf(dlg, IDC_COMPRESSION), QString::fromLatin1(c.compression))
            << row.toStdString();
        EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("31.01.2006"));
        EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_TIME), QStringLiteral("23:59:58"));
        EXPECT_EQ(dlg.TextView().toPlainText(), text) << row.toStdString();
        EXPECT_EQ(dlg.Picture().Image().pixelColor(15, 25), kRed);
    }
    // The fixed captions are never written.
    EXPECT_EQ(LabelOf(dlg, IDC_COMPRESSION_LABEL), QStringLiteral("Komprimierung:"));
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_LABEL), QStringLiteral("Export-Zeitpunkt"));
}

TEST_F(ViewerTest, ViewerDisplayWithoutCoverKeepsPictureAndSizeLabels) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.OpenBoxFile(SimpleBox(QStringLiteral("with-cover.box")));
    const WindowState before = Snapshot(dlg);

    BoxSpec box;
    box.flags = 0x82;  // would say "Gif" if a cover were loaded
    box.date = "19991224";
    box.time = "080910";
    box.data = Stream({Token(0x10, "Ohne Bild")});
    dlg.OpenBoxFile(WriteBox(m_dir, QStringLiteral("no-cover.box"), box));
    const WindowState after = Snapshot(dlg);
    EXPECT_EQ(after.type, before.type);
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    EXPECT_EQ(after.picture, before.picture);
    EXPECT_EQ(after.compression, QStringLiteral("Daten"));
    EXPECT_EQ(after.date, QStringLiteral("24.12.1999"));
    EXPECT_EQ(after.time, QStringLiteral("08:09:10"));
    EXPECT_EQ(after.text, QStringLiteral("\nBox-Titel:\t\tOhne Bild"));
}

TEST_F(ViewerTest, ViewerDisplayOfAWrongMagicClearsOnlyTheText) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.OpenBoxFile(SimpleBox(QStringLiteral("good.box")));
    const WindowState before = Snapshot(dlg);
    ASSERT_FALSE(before.text.isEmpty());

    BoxSpec box;
    box.magic = "MIRAX3.0";
    box.flags = 0x40;
    box.date = "20200229";
    box.time = "120000";
    box.cover = SolidBmp(QColor(0, 0, 255), 8, 8);
    box.data = Stream({Token(0x10, "nie gezeigt")});
    dlg.OpenBoxFile(WriteBox(m_dir, QStringLiteral("old.box"), box));
    const WindowState after = Snapshot(dlg);
    EXPECT_EQ(after.text, QString());
    EXPECT_EQ(after.compression, QStringLiteral("Cover"));
    EXPECT_EQ(after.date, QStringLiteral("29.02.2020"));
    EXPECT_EQ(after.picture, before.picture);
    EXPECT_EQ(after.type, before.type);
}

TEST_F(ViewerTest, ViewerDisplayIgnoresWhatIsNoBoxFile) {
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.OpenBoxFile(SimpleBox(QStringLiteral("first.box")));
    const WindowState before = Snapshot(dlg);
    const std::string boxAsText = SimpleBox(QStringLiteral("renamed.box.txt"), "20111111", "X");
    const std::string missing = QFile::encodeName(m_dir.filePath("missing.box")).toStdString();
    const std::string shortFile = QFile::encodeName(m_dir.filePath("short.box")).toStdString();
    WriteFile(shortFile, Bytes(10, 'M'));
    for (const std::string& path : {boxAsText, missing, shortFile, std::string()}) {
        dlg.OpenBoxFile(path);
        EXPECT_EQ(Snapshot(dlg), before) << path;
    }
    // Any case of the extension counts.
    dlg.OpenBoxFile(SimpleBox(QStringLiteral("UPPER.BoX"), "20121212"));
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("12.12.2012"));
}

// ---- commands -------------------------------------------------------------

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

TEST_F(ViewerTest, ViewerCommandsOpenTheAboutBoxOnceAtATime) {
    AboutCountingDlg dlg;
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    dlg.OnSysCommand(IDM_ABOUTBOX | 0x3, 0);  // the low four bits are the system's
    EXPECT_EQ(dlg.runs, 1);
    dlg.OnSysCommand(0xF060, 0);  // another system command: no about box
    EXPECT_EQ(dlg.runs, 1);
    EXPECT_TRUE(dlg.OnCommand(ID_HELP, 0));
    EXPECT_EQ(dlg.runs, 2);
    EXPECT_FALSE(dlg.OnCommand(0x1234, 0));
    EXPECT_EQ(dlg.runs, 2);

    QTest::keyClick(&dlg.TextView(), Qt::Key_F1);
    EXPECT_EQ(dlg.runs, 3);

    // Both context menus end with a separator and the about entry.
    for (const std::unique_ptr<QMenu>& menu :
         {dlg.CreateTextViewMenu(), dlg.CreateLeftColumnMenu()}) {
        const QList<QAction*> actions = menu->actions();
        ASSERT_GE(actions.size(), 2);
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        EXPECT_EQ(actions.back()->text(), QString::fromUtf8("Inf&o \xC3\xBC"
                                                            "ber Quorvel..."));
        const int before = dlg.runs;
        actions.back()->trigger();
        EXPECT_EQ(dlg.runs, before + 1);
    }
    // The text view's menu keeps the editing entries in front.
    EXPECT_GT(dlg.CreateTextViewMenu()->actions().size(), 2);
}

TEST_F(ViewerTest, ViewerCommandsRefreshShowsTheFileAsItIsOnDisk) {
    const std::string path = SimpleBox(QStringLiteral("refresh.box"), "20010101", "Erster");
    const Bytes onDisk = ReadFile(path);
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    QTest::keyClick(&dlg.TextView(), Qt::Key_F5);  // nothing shown yet: nothing to do
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("TT.MM.JJJJ"));

    dlg.OpenBoxFile(path);
    const QString shown = dlg.TextView().toPlainText();
    QTest::keyClicks(&dlg.TextView(), QStringLiteral("getippt"));
    EXPECT_NE(dlg.TextView().toPlainText(), shown);
    EXPECT_EQ(ReadFile(path), onDisk);  // typing writes nothing

    QTest::keyClick(&dlg.TextView(), Qt::Key_F5);
    EXPECT_EQ(dlg.TextView().toPlainText(), shown);

    // A changed file is read again, not taken from memory.
    SimpleBox(QStringLiteral("refresh.box"), "20020202", "Zweiter");
    QTest::keyClick(&dlg.TextView(), Qt::Key_F5);
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("02.02.2002"));
    EXPECT_EQ(dlg.TextView().toPlainText(), QStringLiteral("\nBox-Titel:\t\tZweiter"));
}

// Accepts the file dialog that Ctrl+O opens with `path`, once it shows.
void AcceptFileDialogLater(const std::string& path, QStringList* filters) {
    QTimer::singleShot(0, [path, filters] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            AcceptFileDialogLater(path, filters);
            return;
        }
        *filters = dialog->nameFilters();
        dialog->selectFile(QFile::decodeName(QByteArray::fromStdString(path)));
        QMetaObject::invokeMethod(dialog, &QDialog::accept);
    });
}

TEST_F(ViewerTest, ViewerCommandsOpenAFileChosenWithCtrlOAndWriteNoSettings) {
    const std::string path = SimpleBox(QStringLiteral("chosen.box"), "20030303");
    CViewerDlg dlg{TestApp()};
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    QStringList filters;
    AcceptFileDialogLater(path, &filters);
    QTest::keyClick(&dlg.TextView(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(LabelOf(dlg, IDC_EXPORT_DATE), QStringLiteral("03.03.2003"));
    EXPECT_EQ(dlg.LastShownPath(), path);
    EXPECT_EQ(filters, QStringList({QStringLiteral("Box-Dateien (*.box)"),
                                    QStringLiteral("Alle Dateien (*)")}));

    // Qt's file dialog would keep its history in the user's settings.
    QStringList written;
    QDirIterator it(g_testHome, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.startsWith(g_testHome + QStringLiteral("/config")) || file.endsWith(".conf")) {
            written << file;
        }
    }
    EXPECT_TRUE(written.isEmpty()) << written.join(u' ').toStdString();
}

}  // namespace
}  // namespace quorvel::testing
