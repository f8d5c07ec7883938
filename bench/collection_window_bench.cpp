// Run: see bench/window_bench.py, which sets QT_QPA_PLATFORM=offscreen and a
// scratch XDG_CACHE_HOME, then:
//   build-bench/bench/collection_window_bench TREE QUERIES.txt
// The collection window in process on TREE: the index brought up to date,
// then every query of QUERIES.txt typed a key at a time (each key press to
// the next paint of the rows after they changed, all keys and each query's
// last), then the whole list and the whole grid scrolled a page every 16 ms
// while a 1 ms timer notes the longest gap between its ticks (a stall of
// the event loop). Prints JSON: times in ms, the database's path, peak MiB.
#include <sys/resource.h>
#include <time.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/applikation.h"
#include "collection/cache_path.h"
#include "ui/collection_model.h"
#include "ui/collection_window.h"

namespace {

using quorvel::CollectionWindow;

// Notes when the watched viewport paints after the model was reset.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* viewport, QAbstractItemModel* model) {
        viewport->installEventFilter(this);
        connect(model, &QAbstractItemModel::modelReset, this, [this] { m_reset = true; });
    }
    void Arm() {
        m_reset = false;
        m_painted = false;
    }
    bool Painted() const { return m_painted; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_reset) {
            m_painted = true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_reset = false;
    bool m_painted = false;
};

// One key press and release with its text, as a keyboard gives it (QTest
// knows keys of ASCII letters only).
void TypeKey(QWidget& widget, QChar c) {
    const int key = c.toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&widget, &release);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

void Spin(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// CPU time of the calling thread, in ns: what of a gap the window spent
// itself, rather than waiting for a processor other programs held.
qint64 ThreadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// CPU time of the whole process, every thread, in ns: a key's work on the
// search thread included.
qint64 ProcessCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

struct ScrollRun {
    double stallMs = 0;     // the longest gap between two ticks
    double stallCpuMs = 0;  // the most CPU time the GUI thread spent between two ticks
    int stalls = 0;         // gaps over 50 ms
    double ms = 0;          // the whole scroll
};

// Scrolls `view` from top to bottom a page every 16 ms while a 1 ms timer
// ticks.
ScrollRun Scroll(QAbstractItemView& view) {
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(0);
    Spin(300);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 worst = 0;
    qint64 lastCpu = ThreadCpuNs();
    qint64 worstCpu = 0;
    int stalls = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = ThreadCpuNs();
        worst = std::max(worst, now - last);
        worstCpu = std::max(worstCpu, cpu - lastCpu);
        lastCpu = cpu;
        stalls += now - last > 50'000'000 ? 1 : 0;
        last = now;
    });
    QTimer pager;
    pager.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pager, &QTimer::timeout,
                     [&] { bar->setValue(bar->value() + std::max(1, bar->pageStep())); });
    last = clock.nsecsElapsed();
    lastCpu = ThreadCpuNs();
    ticker.start(1);
    pager.start(16);
    while (bar->value() < bar->maximum()) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    Spin(200);  // the last page's covers
    return {worst / 1e6, worstCpu / 1e6, stalls, clock.nsecsElapsed() / 1e6};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fputs("usage: collection_window_bench TREE QUERIES.txt\n", stderr);
        return 2;
    }
    std::vector<std::string> queries;
    std::ifstream in(argv[2]);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            queries.push_back(line);
        }
    }
    quorvel::CApplikation applikation;
    CollectionWindow window(applikation, argv[1]);
    window.show();
    QElapsedTimer clock;
    clock.start();
    Spin(200);
    while (window.Updating()) {
        Spin(50);
    }
    const double updateMs = clock.elapsed();
    const int boxes = window.Model().rowCount();

    QLineEdit& search = window.SearchField();
    PaintWatch watch(window.Table().viewport(), &window.Model());
    std::vector<double> keys, lastKeys, keysCpu;
    // Each key's wall and CPU time and the text it made.
    std::vector<std::tuple<double, double, QString>> typed;
    const size_t count = argc > 3 ? std::stoul(argv[3]) : queries.size();
    queries.resize(std::min(count, queries.size()));
    for (const std::string& query : queries) {
        const QString text = QString::fromStdString(query);
        search.clear();
        Spin(20);
        for (qsizetype i = 0; i < text.size(); ++i) {
            watch.Arm();
            const qint64 cpu = ProcessCpuNs();
            clock.restart();
            TypeKey(search, text.at(i));
            while (!watch.Painted() && clock.elapsed() < 5000) {
                QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            5);
            }
            keys.push_back(clock.nsecsElapsed() / 1e6);
            keysCpu.push_back((ProcessCpuNs() - cpu) / 1e6);
            typed.emplace_back(keys.back(), keysCpu.back(), text.left(i + 1));
        }
        lastKeys.push_back(keys.back());
    }
    search.clear();
    Spin(300);

    const ScrollRun table = Scroll(window.Table());
    window.ShowGrid(true);
    Spin(300);
    const ScrollRun grid = Scroll(window.Grid());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"boxes\": %d, \"update_ms\": %.0f, \"keys\": %zu, ", boxes, updateMs,
                keys.size());
    std::printf("\"key_median_ms\": %.1f, \"key_p90_ms\": %.1f, \"key_max_ms\": %.1f, ",
                Median(keys), Percentile(keys, 0.9), *std::max_element(keys.begin(), keys.end()));
    std::printf("\"query_median_ms\": %.1f, \"query_max_ms\": %.1f, ", Median(lastKeys),
                *std::max_element(lastKeys.begin(), lastKeys.end()));
    for (const auto& [name, run] : {std::pair{"table", table}, std::pair{"grid", grid}}) {
        std::printf(
            "\"%s_scroll_ms\": %.0f, \"%s_stall_ms\": %.1f, \"%s_stall_cpu_ms\": %.1f, "
            "\"%s_stalls_over_50ms\": %d, ",
            name, run.ms, name, run.stallMs, name, run.stallCpuMs, name, run.stalls);
    }
    std::printf("\"key_cpu_median_ms\": %.1f, \"key_cpu_p90_ms\": %.1f, \"key_cpu_max_ms\": %.1f, ",
                Median(keysCpu), Percentile(keysCpu, 0.9),
                *std::max_element(keysCpu.begin(), keysCpu.end()));
    std::sort(typed.begin(), typed.end(),
              [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
    std::printf("\"slowest_keys\": [");
    for (size_t i = 0; i < std::min<size_t>(5, typed.size()); ++i) {
        std::printf("%s[%.1f, %.1f, \"%s\"]", i == 0 ? "" : ", ", std::get<0>(typed[i]),
                    std::get<1>(typed[i]), std::get<2>(typed[i]).toUtf8().constData());
    }
    std::printf("], ");
    std::printf("\"peak_mib\": %ld, \"database\": \"%s\"}\n", usage.ru_maxrss / 1024,
                quorvel::CacheDatabasePath(window.Folder()).c_str());
    return 0;
}
