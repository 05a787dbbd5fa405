#include "ui/ConsolePane.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "engine/Workspace.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"
#include "lang/Transcript.h"
#include "ui/ConsoleHighlighter.h"
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

}  // namespace

ConsolePane::ConsolePane(CommandInterpreter& ci, const SettingsStore& settings, QWidget* parent)
    : QTextEdit(parent), ci_(ci), settings_(settings) {
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
    resetText(true);
}

void ConsolePane::keyPressEvent(QKeyEvent* event) {
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
}

void ConsolePane::insertOutput(QTextCursor& c, const CommandOutcome& out) {
    if (out.failed) {
        c.insertText(QStringLiteral("   ") + QString::fromUtf8(msg::kErrorPrefix) +
                     fromUtf8(out.message));
        return;
    }
    Workspace::Scope scope(ci_.workspace());
    std::string text = out.result->toText();
    c.insertText(QStringLiteral("   "));
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

void ConsolePane::executeLine(int line) {
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
        return;
    }
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
    emit commandExecuted();
}

void ConsolePane::submitCommand(const QString& command) {
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
    executeLine(document()->lastBlock().blockNumber());
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
