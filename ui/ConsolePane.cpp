#include "ui/ConsolePane.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>
#include <algorithm>

#include "engine/Workspace.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/Transcript.h"
#include "ui/CommandHistory.h"
#include "ui/ConsoleCompleter.h"
#include "ui/ConsoleHighlighter.h"
#include "ui/HistorySearch.h"
#include "ui/QtTypesetSurface.h"
#include "ui/SettingsStore.h"
#include "ui/UiMessages.h"

namespace kv {

namespace {

// Shows the wait cursor for the lifetime of the guard.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString fromUtf8(const std::string& s) {
    return QString::fromStdString(s);
}

void moveToBlockEnd(QTextCursor& c, const QTextBlock& block,
                    QTextCursor::MoveMode mode = QTextCursor::MoveAnchor) {
    c.setPosition(block.position() + block.length() - 1, mode);
}

// What a result line holds besides the form shown: the result's text form
// and LaTeX form (empty for an error or a result too long for a paper), for
// the copy commands of its context menu. They are properties of the line's
// indent, so undo and redo bring them back with the line.
constexpr int kResultTextProperty = QTextFormat::UserProperty + 1;
constexpr int kResultLatexProperty = QTextFormat::UserProperty + 2;

// Results up to this length (of their text form) get a LaTeX form.
constexpr std::size_t kMaxLatexText = 20'000;

bool isPromptLine(const QString& line) {
    return line.startsWith(QStringLiteral(">>"));
}

// The command typed on a prompt line, without the prompt.
QString promptCommand(const QString& line) {
    return line.mid(line.startsWith(QStringLiteral(">> ")) ? 3 : 2);
}

}  // namespace

QString droppedDocument(const QMimeData* source) {
    if (!source->hasUrls()) return {};
    for (const QUrl& url : source->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QFileInfo(path).suffix().compare("kvl", Qt::CaseInsensitive) == 0)
            return path;
    }
    return {};
}

ConsolePane::ConsolePane(CommandInterpreter& ci, const SettingsStore& settings, QWidget* parent,
                         const QString& historyFile)
    : QTextEdit(parent),
      history_(std::make_unique<CommandHistory>(historyFile)),
      ci_(ci),
      settings_(settings) {
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    font.setWeight(QFont::Normal);
    setFont(font);
    document()->setDefaultFont(font);
    setAcceptRichText(false);
    setTabChangesFocus(false);
    setTabStopDistance(0.2 * logicalDpiX());
    setLineWrapMode(QTextEdit::NoWrap);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
    highlighter_ = new ConsoleHighlighter(document());
    completer_ = new ConsoleCompleter(this, ci);
    resetText(true);
}

ConsolePane::~ConsolePane() = default;

// Ctrl+A selects the console's text; the window's shortcut on the same keys
// (line antialiasing of the scene) must not fire while the console has the
// focus.
bool ConsolePane::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

void ConsolePane::keyPressEvent(QKeyEvent* event) {
    if (completer_->keyBefore(event)) return;
    if (event->modifiers() == Qt::ControlModifier &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        browseHistory(event->key() == Qt::Key_Up);
        event->accept();
        return;
    }
    if (event->modifiers() == Qt::ControlModifier && event->key() == Qt::Key_R) {
        searchHistory();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        executeLine(-1);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ControlModifier)) {
        textCursor().insertText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
    completer_->keyAfter(event);
}

void ConsolePane::focusOutEvent(QFocusEvent* event) {
    // The popup of the completer takes no focus; anything else that does
    // ends the hint.
    if (!completer_->completer()->popup()->isVisible()) completer_->hint()->hide();
    QTextEdit::focusOutEvent(event);
}

QTextBlock ConsolePane::promptBlock() const {
    QTextBlock block = textCursor().block();
    if (!isPromptLine(block.text())) block = document()->lastBlock();
    return isPromptLine(block.text()) ? block : QTextBlock();
}

void ConsolePane::setPromptCommand(const QString& command) {
    const QTextBlock block = promptBlock();
    if (!block.isValid()) return;
    QTextCursor c(block);
    c.setPosition(block.position() + (block.text().startsWith(QStringLiteral(">> ")) ? 3 : 2));
    moveToBlockEnd(c, block, QTextCursor::KeepAnchor);
    if (!block.text().startsWith(QStringLiteral(">> "))) c.insertText(QStringLiteral(" "));
    c.insertText(command);
    setTextCursor(c);
    ensureCursorVisible();
}

void ConsolePane::browseHistory(bool older) {
    completer_->hideAll();
    const QTextBlock block = promptBlock();
    if (!block.isValid()) return;
    const QString typed = promptCommand(block.text());
    // Typing over a recalled command starts afresh from the newest one.
    if (history_->browsing() && typed != browsedText_) history_->stopBrowsing();
    const std::optional<QString> shown = older ? history_->older(typed) : history_->newer();
    if (!shown) return;
    browsedText_ = *shown;
    setPromptCommand(*shown);
}

void ConsolePane::searchHistory() {
    completer_->hideAll();
    HistorySearch search(history_->entries(), this);
    if (search.exec() != QDialog::Accepted || search.chosen().isEmpty()) return;
    history_->stopBrowsing();
    setPromptCommand(search.chosen());
}

QMenu* ConsolePane::createResultMenu(const QPoint& pos) {
    QMenu* menu = createStandardContextMenu(pos);
    const QTextBlock block = cursorForPosition(pos).block();
    if (isPromptLine(block.text()) || block.text().trimmed().isEmpty()) return menu;
    QString text;
    QString latex;
    bool known = false;
    for (auto it = block.begin(); !it.atEnd() && !known; ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        known = f.hasProperty(kResultTextProperty);
        text = f.stringProperty(kResultTextProperty);
        latex = f.stringProperty(kResultLatexProperty);
    }
    if (!known && !block.text().contains(QChar::ObjectReplacementCharacter))
        text = block.text().trimmed();  // a line of a loaded document: its text is all there is
    QAction* first = menu->actions().value(0);
    auto* copyText = new QAction(QString::fromUtf8(uimsg::kCopyAsText), menu);
    auto* copyLatex = new QAction(QString::fromUtf8(uimsg::kCopyAsLatex), menu);
    copyText->setEnabled(!text.isEmpty());
    copyLatex->setEnabled(!latex.isEmpty());
    connect(copyText, &QAction::triggered, menu,
            [text] { QApplication::clipboard()->setText(text); });
    connect(copyLatex, &QAction::triggered, menu,
            [latex] { QApplication::clipboard()->setText(latex); });
    menu->insertAction(first, copyText);
    menu->insertAction(first, copyLatex);
    menu->insertSeparator(first);
    return menu;
}

void ConsolePane::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createResultMenu(event->pos()));
    menu->exec(event->globalPos());
}

bool ConsolePane::canInsertFromMimeData(const QMimeData* source) const {
    return !droppedDocument(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

// A dropped document is opened, not pasted as text.
void ConsolePane::insertFromMimeData(const QMimeData* source) {
    const QString path = droppedDocument(source);
    if (path.isEmpty()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    emit documentDropped(path);
}

void ConsolePane::scrollToLeftEdge() {
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void ConsolePane::insertOutput(QTextCursor& c, const CommandOutcome& out) {
    const QTextCharFormat plain = c.charFormat();
    auto indent = [&](const QString& resultText, const QString& latex) {
        QTextCharFormat f = plain;
        f.setProperty(kResultTextProperty, resultText);
        f.setProperty(kResultLatexProperty, latex);
        c.insertText(QStringLiteral("   "), f);
        c.setCharFormat(plain);
    };
    if (out.failed) {
        const QString message = QString::fromUtf8(msg::kErrorPrefix) + fromUtf8(out.message);
        indent(message, QString());
        c.insertText(message);
        return;
    }
    Workspace::Scope scope(ci_.workspace());
    std::string text = out.result->toText();
    indent(fromUtf8(text),
           text.size() <= kMaxLatexText ? fromUtf8(out.result->toLatex()) : QString());
    if (settings_.formatOutput() && static_cast<int>(text.size()) <= kMaxTypesetText) {
        QtTypesetSurface surface(document()->defaultFont(), devicePixelRatioF());
        TypesetBox box = out.result->typeset(surface);
        if (box.image) {
            const QImage& img = static_cast<const QtTypesetImage&>(*box.image).image;
            if (!img.isNull()) {
                c.insertImage(img);
                return;
            }
        }
    }
    if (text.size() > kMaxShownOutput) {
        // Characters, not bytes: the continuation bytes of UTF-8 are left out.
        const auto length = std::count_if(text.begin(), text.end(), [](char ch) {
            return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
        });
        // Cut between characters, never inside one.
        std::size_t cut = kMaxShownOutput;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        const QString shown = fromUtf8(text.substr(0, cut));
        c.insertText(shown + QString::fromUtf8(uimsg::kOutputCut)
                                 .arg(shown.size())
                                 .arg(static_cast<qlonglong>(length)));
        return;
    }
    c.insertText(fromUtf8(text));
}

void ConsolePane::executeLine(int line, bool remember) {
    WaitCursor wait;
    QTextBlock block = line < 0 ? textCursor().block() : document()->findBlockByNumber(line);
    if (!block.isValid()) return;
    QTextCursor c(document());
    auto command = splitCommandLine(block.text().toStdString());
    if (!command) {
        // An output line: a new empty prompt below it.
        moveToBlockEnd(c, block);
        c.insertBlock();
        c.insertText(QStringLiteral(">> "));
        setTextCursor(c);
        scrollToLeftEdge();
        return;
    }
    completer_->hideAll();
    if (remember && !command->command.empty()) history_->add(promptCommand(block.text()).trimmed());
    CommandOutcome out = executeCommand(ci_, command->command);
    QTextBlock next = block.next();
    c.beginEditBlock();
    if (!next.isValid()) {
        moveToBlockEnd(c, block);
        c.insertBlock();
        insertOutput(c, out);
        c.insertBlock();
        c.insertText(QStringLiteral(">> "));
    } else if (!next.text().startsWith(QStringLiteral(">> "))) {
        // The following line is this command's old output: replace it.
        moveToBlockEnd(c, block);
        moveToBlockEnd(c, next, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.insertBlock();
        insertOutput(c, out);
    } else {
        moveToBlockEnd(c, block);
        c.insertBlock();
        insertOutput(c, out);
    }
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
    scrollToLeftEdge();
    emit commandExecuted();
}

void ConsolePane::submitCommand(const QString& command, bool remember) {
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    QTextBlock last = document()->lastBlock();
    if (last.text().trimmed() == QStringLiteral(">>")) {
        c.insertText(last.text().endsWith(' ') ? command : QStringLiteral(" ") + command);
    } else {
        c.insertBlock();
        c.insertText(QStringLiteral(">> ") + command);
    }
    setTextCursor(c);
    executeLine(document()->lastBlock().blockNumber(), remember);
}

void ConsolePane::rerunAll() {
    std::vector<CommandLine> commands;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        if (auto cmd = splitCommandLine(b.text().toStdString())) commands.push_back(*cmd);

    auto wait = std::make_unique<WaitCursor>();
    clear();
    QTextCursor c(document());
    bool first = true;
    auto newLine = [&] {
        if (!first) c.insertBlock();
        first = false;
    };
    RerunSteps steps;
    steps.comment = [&](const std::string& echo) {
        newLine();
        c.insertText(fromUtf8(echo));
    };
    steps.command = [&](const std::string& echo, const CommandOutcome& out) {
        newLine();
        c.insertText(fromUtf8(echo));
        c.insertBlock();
        insertOutput(c, out);
    };
    steps.internalError = [&] {
        wait.reset();
        QCursor::setPos(QCursor::pos() + QPoint(1, 1));
        QMessageBox::warning(this, QString::fromUtf8(uimsg::kProgramName),
                             QString::fromUtf8(uimsg::kInternalError));
        wait = std::make_unique<WaitCursor>();
    };
    rerunCommands(ci_, commands, steps);
    newLine();
    c.insertText(QStringLiteral(">> "));
    wait.reset();
    highlighter_->rehighlight();
    setTextCursor(c);
    ensureCursorVisible();
    scrollToLeftEdge();
    emit commandExecuted();
}

std::vector<std::string> ConsolePane::lines() const {
    std::vector<std::string> out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        out.push_back(b.text().toStdString());
    return out;
}

void ConsolePane::resetText(bool withPrompt) {
    clear();
    if (withPrompt) insertPlainText(QStringLiteral(">> "));
}

void ConsolePane::showLoadedLines(const std::vector<std::string>& lines) {
    clear();
    QTextCursor c(document());
    // Each stored line is followed by a line break, as the loaded text is.
    for (const std::string& line : lines) {
        c.insertText(fromUtf8(line));
        c.insertBlock();
    }
    highlighter_->rehighlight();
    c.movePosition(QTextCursor::End);
    setTextCursor(c);
}

}  // namespace kv
