#include "ui/ConsoleCompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextEdit>
#include <algorithm>

#include "lang/Builtins.h"
#include "lang/CallSyntax.h"
#include "lang/CommandInterpreter.h"

namespace kv {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_';
}

}  // namespace

QString openCallBefore(const QString& line, int pos) {
    int depth = 0;
    for (int i = std::min(pos, static_cast<int>(line.size())) - 1; i >= 0; --i) {
        const QChar c = line[i];
        if (c == ')' || c == ']') {
            ++depth;
        } else if (c == '(' || c == '[') {
            if (depth > 0) {
                --depth;
                continue;
            }
            if (c == '[') continue;  // a list or range inside the call
            int start = i;
            while (start > 0 && isWordChar(line[start - 1])) --start;
            // Blanks are no part of a name, but "sin (x" is still sin's call.
            const QString name = line.mid(start, i - start);
            if (!name.isEmpty() && !name.front().isDigit()) return name;
        }
    }
    return {};
}

ConsoleCompleter::ConsoleCompleter(QTextEdit* console, CommandInterpreter& ci)
    : QObject(console), console_(console), ci_(ci) {
    completer_ = new QCompleter(this);
    completer_->setWidget(console_);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer_->setModel(new QStringListModel(completer_));
    completer_->setMaxVisibleItems(10);
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this,
            &ConsoleCompleter::insertCompletion);

    hint_ = new QLabel(console_, Qt::ToolTip);
    hint_->setObjectName(QStringLiteral("callHint"));
    hint_->setForegroundRole(QPalette::ToolTipText);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    hint_->setAutoFillBackground(true);
    hint_->setFrameShape(QFrame::Box);
    hint_->setMargin(3);
    hint_->setTextFormat(Qt::PlainText);
    hint_->hide();
    connect(console_, &QTextEdit::cursorPositionChanged, this, &ConsoleCompleter::updateHint);
}

QStringList ConsoleCompleter::words() const {
    QStringList words;
    for (std::string_view name : builtinNames())
        words << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const Workspace& ws = ci_.workspace();
    for (const NamedValue& c : ws.constants) words << QString::fromStdString(c.name);
    for (const UserFunction& f : ci_.userFunctions()) words << QString::fromStdString(f.name);
    // A name with a blank is the program's own (the angle of a surface of
    // revolution): no command line can spell it.
    for (const NamedValue& v : ws.variables)
        if (v.name.find(' ') == std::string::npos) words << QString::fromStdString(v.name);
    words.removeDuplicates();
    std::sort(words.begin(), words.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return words;
}

QString ConsoleCompleter::prefixAtCaret() const {
    const QTextCursor c = console_->textCursor();
    const QString line = c.block().text();
    // Only on a command line: output lines are not typed.
    if (!line.startsWith(QStringLiteral(">>"))) return {};
    const int pos = c.positionInBlock();
    int start = pos;
    while (start > 2 && isWordChar(line[start - 1])) --start;
    const QString prefix = line.mid(start, pos - start);
    return prefix.isEmpty() || prefix.front().isDigit() ? QString() : prefix;
}

bool ConsoleCompleter::keyBefore(QKeyEvent* event) {
    if (completer_->popup()->isVisible()) {
        switch (event->key()) {
            case Qt::Key_Enter:
            case Qt::Key_Return:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
                // The completer's own filter on the popup takes these.
                event->ignore();
                return true;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier)) {
        offer(prefixAtCaret());
        event->accept();
        return true;
    }
    return false;
}

void ConsoleCompleter::keyAfter(QKeyEvent* event) {
    const QString typed = event->text();
    const QString prefix = prefixAtCaret();
    const bool wordKey = !typed.isEmpty() && isWordChar(typed.back());
    const bool erase = event->key() == Qt::Key_Backspace;
    QAbstractItemView* popup = completer_->popup();
    if (prefix.size() < kMinPrefix || (!wordKey && !erase) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        popup->hide();
        return;
    }
    offer(prefix);
}

void ConsoleCompleter::offer(const QString& prefix) {
    QAbstractItemView* popup = completer_->popup();
    static_cast<QStringListModel*>(completer_->model())->setStringList(words());
    completer_->setCompletionPrefix(prefix);
    // Nothing to offer, or only the word already typed.
    if (completer_->completionCount() == 0 ||
        (completer_->completionCount() == 1 && completer_->currentCompletion() == prefix)) {
        popup->hide();
        return;
    }
    popup->setCurrentIndex(completer_->completionModel()->index(0, 0));
    QRect rect = console_->cursorRect();
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    completer_->complete(rect);
}

void ConsoleCompleter::insertCompletion(const QString& word) {
    QTextCursor c = console_->textCursor();
    const int typed = static_cast<int>(prefixAtCaret().size());
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, typed);
    c.insertText(word);
    console_->setTextCursor(c);
}

void ConsoleCompleter::updateHint() {
    const QTextCursor c = console_->textCursor();
    const QString line = c.block().text();
    const QString name = line.startsWith(QStringLiteral(">>"))
                             ? openCallBefore(line, c.positionInBlock())
                             : QString();
    const std::string hint = name.isEmpty() ? std::string() : callHint(name.toStdString());
    if (hint.empty() || !console_->isVisible()) {
        hint_->hide();
        return;
    }
    hint_->setText(QString::fromStdString(hint));
    hint_->adjustSize();
    const QRect caret = console_->cursorRect();
    QPoint at = console_->viewport()->mapToGlobal(caret.topLeft());
    at.ry() -= hint_->height() + 2;
    hint_->move(at);
    hint_->show();
}

void ConsoleCompleter::hideAll() {
    completer_->popup()->hide();
    hint_->hide();
}

}  // namespace kv
