#include "ui/tab_layout.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "app/text_util.h"
#include "render/record_renderer.h"

namespace quorvel {
namespace {

// Space between the widest label and its value.
constexpr qreal kGapSpaces = 2.0;

// The label of a rendered line: the text before its first tab.
void AddLabel(QStringList& labels, const std::string& line) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) {
        return;
    }
    const QString label = QString::fromStdString(Cp1252ToUtf8(line.substr(0, tab)));
    if (!labels.contains(label)) {
        labels.append(label);
    }
}

}  // namespace

QStringList RecordLabels() {
    // Asks the renderer itself, one empty token of every code, so a label
    // added to its table moves the column without anyone keeping a copy.
    QStringList labels;
    CRecordRenderer renderer;
    for (int code = 0; code < 256; ++code) {
        const auto byte = static_cast<unsigned char>(code);
        const unsigned char token[3] = {byte, 0, 0};
        std::span<const unsigned char> cursor(token, IsLongToken(byte) ? 3 : 2);
        std::string line;
        bool personBlockEnded = false;
        renderer.BeginFile();
        renderer.RenderToken(cursor, line, personBlockEnded);
        AddLabel(labels, line);
    }
    // Built from definitions rather than a fixed label of one token.
    AddLabel(labels, "Film-Sprache:\t");
    AddLabel(labels, "Film-Person:\t");
    return labels;
}

QList<QTextOption::Tab> ValueColumnTabs(const QFont& font) {
    static const QStringList labels = RecordLabels();
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QString& label : labels) {
        widest = std::max(widest, metrics.horizontalAdvance(label));
    }
    const qreal column = std::ceil(widest + kGapSpaces * metrics.horizontalAdvance(u' '));
    return {QTextOption::Tab(column, QTextOption::LeftTab),
            QTextOption::Tab(column + 1, QTextOption::LeftTab)};
}

CValueColumn::CValueColumn(QPlainTextEdit& view) : QObject(&view), m_view(view) {
    m_view.installEventFilter(this);
    Apply();
}

bool CValueColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::FontChange) {
        Apply();
    }
    return QObject::eventFilter(watched, event);
}

void CValueColumn::Apply() {
    // The document keeps the view's other options (no wrap, tab distance).
    QTextOption option = m_view.document()->defaultTextOption();
    option.setTabs(ValueColumnTabs(m_view.font()));
    m_view.document()->setDefaultTextOption(option);
}

}  // namespace quorvel
