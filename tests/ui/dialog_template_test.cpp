// Run: ctest --test-dir build -R 'DialogTemplate'
// The three windows built from their templates take the application's font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <functional>
#include <memory>
#include <vector>

#include "ui/about_dlg.h"
#include "ui/dedication_dlg.h"
#include "ui_test_support.h"

namespace quorvel::testing {
namespace {

// Restores the application's font however the test ends.
class ApplicationFontScope {
public:
    explicit ApplicationFontScope(const QFont& font) : m_saved(QApplication::font()) {
        QApplication::setFont(font);
    }
    ~ApplicationFontScope() { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

TEST(DialogTemplate, EveryWindowUsesTheApplicationsFontAt8Points) {
    // A family no window would pick on its own, at a size the template
    // replaces.
    QFont custom(QStringLiteral("Quorvel Probe Serif"), 13);
    const ApplicationFontScope scope(custom);

    const struct Case {
        const char* window;
        std::function<std::unique_ptr<QWidget>()> make;
    } cases[] = {
        {"main window", [] { return std::make_unique<CViewerDlg>(TestApp()); }},
        {"about box", [] { return std::make_unique<CAboutDlg>(TestApp()); }},
        {"dedication", [] { return std::make_unique<CDedicationDlg>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        const std::unique_ptr<QWidget> window = c.make();
        EXPECT_EQ(window->font().family().toStdString(), custom.family().toStdString());
        EXPECT_EQ(window->font().pointSize(), 8);
    }
}

}  // namespace
}  // namespace quorvel::testing
