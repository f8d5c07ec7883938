// Run: ctest --test-dir build -R 'AboutBox|Dedication|Animation'
#include "ui/about_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "about/version_test_support.h"
#include "app/applikation.h"
#include "app/platform.h"
#include "app/version_info.h"
#include "tools/gif_encoder.h"
#include "ui/dedication_dlg.h"
#include "ui/dialog_animation.h"
#include "ui/dialog_template.h"
#include "ui/drop_edit.h"
#include "ui/viewer_dlg.h"

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quorvel {
namespace {

const std::string kBuiltProgram = std::string(QUORVEL_BINARY_DIR) + "/viewer/quorvel";

// The application object the windows are handed; what they read of it
// (the version block, the name) follows the executable path set per test.
const CApplikation& TestApp() {
    static const CApplikation app;
    return app;
}

// The Qt application object of main() below.
void App() {
    ASSERT_NE(qApp, nullptr);
}

QString LegalNoticeOfTheDescription() {
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/res/version.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll())
        .object()["stringTables"]
        .toObject()["040704b0"]
        .toObject()["LegalCopyright"]
        .toString();
}

QString Text(const QWidget& dialog, int id) {
    const auto* label = qobject_cast<const QLabel*>(FindControl(&dialog, id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// Runs `step` until it returns true or ten seconds have passed; the events
// of the dialogs are processed in between.
bool WaitFor(const std::function<bool()>& step) {
    QElapsedTimer clock;
    clock.start();
    while (!step()) {
        if (clock.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Closes every dedication dialog that comes up modally, with Escape, and
// counts them.
class DedicationCloser {
public:
    DedicationCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<CDedicationDlg*>(QApplication::activeModalWidget())) {
                ++m_opened;
                m_titles << dialog->windowTitle();
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        m_timer.start(10);
    }
    int Opened() const { return m_opened; }
    const QStringList& Titles() const { return m_titles; }

private:
    QTimer m_timer;
    int m_opened = 0;
    QStringList m_titles;
};

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(m_dir.ok());
    }
    void TearDown() override { SetExecutablePathForTesting(""); }

    test::TempDir m_dir;
};

TEST_F(AboutBox, ShowsTheVersionBlockOfTheBuiltProgram) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg dlg(TestApp());
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Info \u00fcber Quorvel"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_VERSION), "Version (1.0.3.0)");
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_COMMENT), "Quorvel");
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_LEGAL_NOTICE), LegalNoticeOfTheDescription());
    // The notice fits its label whole.
    const auto* notice = qobject_cast<QLabel*>(FindControl(&dlg, CAboutDlg::IDC_LEGAL_NOTICE));
    EXPECT_LE(QFontMetricsF(notice->font()).horizontalAdvance(notice->text()), notice->width());
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_FEEDBACK), "quorvel@example.org");
    const auto* ok = qobject_cast<QPushButton*>(FindControl(&dlg, 1));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_TRUE(ok->isDefault());
}

// The version comes from the file by the program's name; the caption shows
// the program's proper name, whatever the file is called.
TEST_F(AboutBox, VersionFollowsTheProgramFileNameAndTheCaptionDoesNot) {
    for (const char* name : {"anderer-name", "Mein Betrachter",
                             "\xC3\x9C"
                             "bersicht"}) {
        SCOPED_TRACE(name);
        const std::string copy = m_dir.path() + name;
        std::filesystem::copy_file(kBuiltProgram, copy);
        SetExecutablePathForTesting(copy);
        CAboutDlg dlg(TestApp());
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Info \u00fcber Quorvel"));
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_VERSION), "Version (1.0.3.0)");
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_COMMENT), "Quorvel");
    }
}

TEST_F(AboutBox, EmptyFormsWhenNothingCanBeRead) {
    test::WriteFile(m_dir.path() + "kein-elf", test::Bytes(100, 'x'));
    for (const char* name : {"gibtsnicht", "kein-elf"}) {
        SCOPED_TRACE(name);
        SetExecutablePathForTesting(m_dir.path() + name);
        CAboutDlg dlg(TestApp());
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_VERSION), "Version ()");
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_COMMENT), "");
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_LEGAL_NOTICE), "");
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_FEEDBACK), "quorvel@example.org");
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Info \u00fcber Quorvel"));
    }
}

// The notice is a static with mnemonics, the comment one without; neither
// ever reads its text as markup.
TEST_F(AboutBox, TextsAreShownAsTheirStaticsShowThem) {
    const test::Bytes block =
        test::VersionBlock(test::FixedPart(0x00020003, 0x00040005, 0, 0),
                           {{u"040704b0",
                             {{u"Comments", u"A&B <i>x</i>"},
                              {u"LegalCopyright", u"M\u00fcller && S\u00f6hne <b>"}}}});
    const std::string program = m_dir.path() + "gebaut";
    test::WriteFile(program, test::BuildElf({{std::string(kVersionSectionName), block}}).bytes);
    SetExecutablePathForTesting(program);
    CAboutDlg dlg(TestApp());
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_VERSION), "Version (2.3.4.5)");
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_COMMENT), "A&B <i>x</i>");
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_LEGAL_NOTICE),
              QString::fromUtf8("M\u00fcller & S\u00f6hne <b>"));
    for (int id : {CAboutDlg::IDC_VERSION, CAboutDlg::IDC_COMMENT, CAboutDlg::IDC_LEGAL_NOTICE,
                   CAboutDlg::IDC_FEEDBACK}) {
        EXPECT_EQ(qobject_cast<QLabel*>(FindControl(&dlg, id))->textFormat(), Qt::PlainText) << id;
    }
}

TEST_F(AboutBox, TemplateGeometryInPixels) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg dlg(TestApp());
    EXPECT_EQ(dlg.size(), QSize(267, 141));
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
    const struct {
        int id;
        QRect rect;
    } controls[] = {
        {CAboutDlg::IDC_ICON, QRect(159, 76, 32, 32)},
        {1, QRect(132, 115, 75, 23)},
        {CAboutDlg::IDC_VERSION, QRect(110, 7, 153, 13)},
        {CAboutDlg::IDC_LEGAL_NOTICE, QRect(110, 23, 153, 13)},
        {CAboutDlg::IDC_FEEDBACK, QRect(110, 55, 152, 13)},
        {CAboutDlg::IDC_COMMENT, QRect(110, 39, 153, 13)},
        {CAboutDlg::IDC_ANIMATION_PLACE, QRect(5, 7, 99, 128)},
    };
    for (const auto& c : controls) {
        const QWidget* control = FindControl(&dlg, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->geometry(), c.rect) << c.id;
    }
    const auto* icon = qobject_cast<QLabel*>(FindControl(&dlg, CAboutDlg::IDC_ICON));
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));

    CDedicationDlg dedication;
    EXPECT_EQ(dedication.size(), QSize(137, 309));
    EXPECT_EQ(FindControl(&dedication, 1)->geometry(), QRect(30, 286, 75, 23));
    EXPECT_EQ(FindControl(&dedication, CDedicationDlg::IDC_ANIMATION_PLACE)->geometry(),
              QRect(2, 23, 134, 258));
    EXPECT_EQ(FindControl(&dedication, -1)->geometry(), QRect(2, 7, 134, 13));
}

// Where the mouse goes, and whether a dedication dialog must come up.
TEST_F(AboutBox, RightDoubleClickOpensTheDedicationOnlyWhereTheDialogGetsIt) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg dlg(TestApp());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto centre = [&](int id) { return FindControl(&dlg, id)->geometry().center(); };
    enum class Click { RightDouble, LeftDouble, RightSingle };
    const struct {
        const char* where;
        QPoint pos;
        Click click;
        int opened;
    } cases[] = {
        {"version text", centre(CAboutDlg::IDC_VERSION), Click::RightDouble, 1},
        {"legal notice", centre(CAboutDlg::IDC_LEGAL_NOTICE), Click::RightDouble, 1},
        {"icon", centre(CAboutDlg::IDC_ICON), Click::RightDouble, 1},
        {"background", QPoint(240, 95), Click::RightDouble, 1},
        {"OK button", centre(1), Click::RightDouble, 0},
        {"animation", centre(CAboutDlg::IDC_ANIMATION_PLACE), Click::RightDouble, 0},
        {"animation's edge", QPoint(6, 8), Click::RightDouble, 0},
        {"version text, left", centre(CAboutDlg::IDC_VERSION), Click::LeftDouble, 0},
        {"version text, single", centre(CAboutDlg::IDC_VERSION), Click::RightSingle, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        DedicationCloser closer;
        QWindow* window = dlg.windowHandle();
        if (c.click == Click::RightSingle) {
            QTest::mouseClick(window, Qt::RightButton, {}, c.pos);
        } else {
            QTest::mouseDClick(window,
                               c.click == Click::RightDouble ? Qt::RightButton : Qt::LeftButton, {},
                               c.pos);
        }
        QTest::qWait(50);
        EXPECT_EQ(closer.Opened(), c.opened);
        EXPECT_TRUE(dlg.isVisible());
    }
}

TEST_F(AboutBox, DedicationOpensAgainAndAgain) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg dlg(TestApp());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    DedicationCloser closer;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseDClick(dlg.windowHandle(), Qt::RightButton, {},
                           FindControl(&dlg, CAboutDlg::IDC_COMMENT)->geometry().center());
    }
    EXPECT_EQ(closer.Opened(), 3);
    EXPECT_EQ(closer.Titles(), QStringList({"Widmung", "Widmung", "Widmung"}));
}

// Escape ends the dedication first, then, pressed again, the about box.
TEST_F(AboutBox, EscapeClosesTheDedicationThenTheAboutBox) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg dlg(TestApp());
    QStringList events;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitForWindowExposed(&dlg)) {
            events << "not exposed";
            dlg.reject();
            return;
        }
        // The dedication's own loop runs inside this click.
        QTimer::singleShot(0, [&] {
            QWidget* top = QApplication::activeModalWidget();
            events << (top ? top->windowTitle() : QStringLiteral("nothing"));
            if (top && top != &dlg) {
                QTest::keyClick(top, Qt::Key_Escape);
            }
        });
        QTest::mouseDClick(dlg.windowHandle(), Qt::RightButton, {},
                           FindControl(&dlg, CAboutDlg::IDC_VERSION)->geometry().center());
        events << (QApplication::activeModalWidget() == &dlg ? "back in the about box"
                                                             : "elsewhere");
        QMovie* movie = dlg.Animation()->movie();
        events << (movie && movie->state() == QMovie::Running ? "running" : "stopped");
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        events << "watchdog";
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->close();
        }
    });
    watchdog.start(15000);
    const int result = dlg.exec();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(events, QStringList({"Widmung", "back in the about box", "running"}));
    EXPECT_FALSE(dlg.isVisible());
}

std::vector<CAboutDlg*> VisibleAboutBoxes() {
    std::vector<CAboutDlg*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<CAboutDlg*>(w); box && box->isVisible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

// F1 in the main window opens the about box; F1 or another help command
// while it is open opens no second one, and after it closes F1 works again.
TEST_F(AboutBox, OneAboutBoxAtATimeFromTheMainWindow) {
    SetExecutablePathForTesting(kBuiltProgram);
    CViewerDlg viewer(TestApp());
    viewer.show();
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));

    QStringList seen;
    CAboutDlg* first = nullptr;
    QTimer inspector;
    QObject::connect(&inspector, &QTimer::timeout, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        inspector.stop();
        first = box;
        seen << box->windowTitle() << QString::number(VisibleAboutBoxes().size());
        QTest::keyClick(box, Qt::Key_F1);
        viewer.ShowAbout();  // the help command raised while the box is open
        viewer.OnCommand(0xE146, 0);
        seen << QString::number(VisibleAboutBoxes().size());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    // A second box would run its own loop inside the inspector: end it there.
    QTimer rescuer;
    QObject::connect(&rescuer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (box && first && box != first) {
            seen << "second about box";
            box->reject();
        }
    });
    rescuer.start(10);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        seen.clear();
        first = nullptr;
        // The window manager gives the main window back its activation.
        viewer.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
        inspector.start(10);
        QTest::keyClick(&viewer.TextView(), Qt::Key_F1);
        inspector.stop();
        EXPECT_EQ(seen, QStringList({QString::fromUtf8("Info \u00fcber Quorvel"), "1", "1"}));
        EXPECT_TRUE(VisibleAboutBoxes().empty());
    }
}

TEST_F(AboutBox, DedicationContents) {
    CDedicationDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Widmung");
    const auto* line = qobject_cast<QLabel*>(FindControl(&dlg, -1));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QString::fromUtf8("F\u00fcr alle MIRAX-User"));
    EXPECT_TRUE(line->alignment() & Qt::AlignHCenter);
    const auto* ok = qobject_cast<QPushButton*>(FindControl(&dlg, 1));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_TRUE(ok->isDefault());
}

TEST(Animation, ResourcesHaveTheirFramesSizesAndDelays) {
    App();
    const struct {
        const char* resource;
        int frames;
        QSize size;
        int delayMs;
    } clips[] = {
        {":/res/AVI/153", 15, QSize(60, 60), 100},
        {":/res/AVI/130", 5, QSize(131, 273), 300},
    };
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.resource);
        QImageReader reader(QString::fromLatin1(clip.resource));
        ASSERT_TRUE(reader.canRead());
        EXPECT_EQ(reader.supportsAnimation(), true);
        EXPECT_EQ(reader.imageCount(), clip.frames);
        EXPECT_EQ(reader.loopCount(), -1);  // forever
        int read = 0;
        QImage frame;
        while (reader.read(&frame)) {
            EXPECT_EQ(frame.size(), clip.size) << read;
            EXPECT_EQ(reader.nextImageDelay(), clip.delayMs) << read;
            ++read;
        }
        EXPECT_EQ(read, clip.frames);
    }
}

TEST_F(AboutBox, AnimationsPlayCentredInTheirPlaces) {
    SetExecutablePathForTesting(kBuiltProgram);
    CAboutDlg about(TestApp());
    CDedicationDlg dedication;
    const struct {
        QDialog* dialog;
        QLabel* animation;
        int place;
        int frames;
        QSize size;
    } cases[] = {
        {&about, about.Animation(), CAboutDlg::IDC_ANIMATION_PLACE, 15, QSize(60, 60)},
        {&dedication, dedication.Animation(), CDedicationDlg::IDC_ANIMATION_PLACE, 5,
         QSize(131, 273)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        ASSERT_NE(c.animation, nullptr);
        QWidget* place = FindControl(c.dialog, c.place);
        EXPECT_EQ(c.animation->parentWidget(), place);
        EXPECT_EQ(c.animation->geometry(), place->rect());
        QMovie* movie = c.animation->movie();
        ASSERT_NE(movie, nullptr);
        EXPECT_EQ(movie->state(), QMovie::Running);
        EXPECT_EQ(movie->frameCount(), c.frames);

        // The frame shown is the movie's current frame, centred in the place.
        movie->setPaused(true);
        const QImage shown = c.animation->grab().toImage();
        const QImage frame = movie->currentImage();
        ASSERT_EQ(frame.size(), c.size);
        const QPoint offset((place->width() - c.size.width()) / 2,
                            (place->height() - c.size.height()) / 2);
        for (const QPoint inFrame : {QPoint(c.size.width() / 2, c.size.height() / 2),
                                     QPoint(c.size.width() / 4, c.size.height() / 3),
                                     QPoint(c.size.width() - 4, c.size.height() * 3 / 4)}) {
            const QPoint at = inFrame + offset;
            if (!shown.rect().contains(at)) {
                continue;  // the taller clip is cut at the place's edges
            }
            EXPECT_EQ(shown.pixelColor(at).rgb(), frame.pixelColor(inFrame).rgb())
                << at.x() << "," << at.y();
        }
    }
}

// A clip without a loop count of its own still starts over after its last
// frame.
TEST_F(AboutBox, AnimationRepeatsWithoutEnd) {
    tools::GifImage gif;
    gif.width = 4;
    gif.height = 4;
    gif.palette = {0xFF0000, 0x00FF00, 0x0000FF};
    gif.loopCount = std::nullopt;
    for (uint8_t i = 0; i < 3; ++i) {
        gif.frames.push_back({std::vector<uint8_t>(16, i), 2});
    }
    const std::string path = m_dir.path() + "once.gif";
    ASSERT_TRUE(tools::WriteFileBytes(path, tools::EncodeGif(gif)));

    QWidget place;
    place.resize(20, 20);
    QLabel* animation = PlaceAnimation(&place, QString::fromStdString(path));
    QMovie* movie = animation->movie();
    ASSERT_NE(movie, nullptr);
    int wraps = 0;
    int last = -1;
    QObject::connect(movie, &QMovie::frameChanged, [&](int frame) {
        if (frame < last) {
            ++wraps;
        }
        last = frame;
    });
    EXPECT_TRUE(WaitFor([&] { return wraps >= 2; }));
    EXPECT_EQ(movie->state(), QMovie::Running);
}

TEST_F(AboutBox, MissingOrBrokenClipLeavesThePlaceEmpty) {
    test::WriteFile(m_dir.path() + "broken.gif",
                    test::Bytes{'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0x13, 0x37});
    for (const QString& clip :
         {QStringLiteral(":/res/AVI/999"), QString::fromStdString(m_dir.path() + "broken.gif")}) {
        SCOPED_TRACE(clip.toStdString());
        QWidget place;
        place.resize(50, 50);
        QLabel* animation = PlaceAnimation(&place, clip);
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->movie(), nullptr);
        EXPECT_TRUE(animation->pixmap().isNull());
    }
}

}  // namespace
}  // namespace quorvel

// Widgets need the application object for the whole run, and it must end
// before the program's static objects do.
int main(int argc, char** argv) {
    // Test discovery runs the program without the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
