#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <iostream>

#include "app/BatchRunner.h"
#include "app/CliMessages.h"
#include "app/DataPaths.h"
#include "app/Version.h"

namespace kv {

namespace {

// The options that only a batch run reads, each with a value, in the order
// the batch runner receives them.
const char* const kBatchValueOptions[] = {"digits", "snapshot", "avi",        "video",
                                          "frames", "fps",      "codec",      "size",
                                          "view",   "spin",     "render-mode"};
// The switches of the batch runner's view, without a value.
const char* const kBatchFlagOptions[] = {"no-box", "no-axes", "no-labels"};

// Qt's own options of a GUI application (e.g. "-session" from a session
// manager, "-platform"): known here, so that they are not refused, and left
// in argv for QApplication.
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "name"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// Qt decodes arguments as UTF-8; a file name that is not valid UTF-8 would not
// survive the way back, so the batch runner gets the bytes as they were given.
std::string originalBytes(const std::vector<std::string>& arguments, const QString& value) {
    for (const std::string& a : arguments) {
        if (QString::fromLocal8Bit(a) == value) return a;
        const std::size_t eq = a.find('=');
        if (a.starts_with('-') && eq != std::string::npos &&
            QString::fromLocal8Bit(a.substr(eq + 1)) == value)
            return a.substr(eq + 1);
    }
    return value.toLocal8Bit().toStdString();
}

// The option of the last argument, e.g. "--digits" of "korvalinth --digits":
// QCommandLineParser fails on a value option only when its value is missing
// at the end.
QString lastOptionName(const QStringList& arguments) {
    QString last = arguments.isEmpty() ? QString() : arguments.back();
    while (last.startsWith(QLatin1Char('-'))) last.remove(0, 1);
    return last;
}

Invocation failure(const QString& message) {
    Invocation line;
    line.mode = Invocation::Mode::Error;
    line.error = message;
    return line;
}

}  // namespace

Invocation parseCommandLine(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& a : arguments) list << QString::fromLocal8Bit(a);
    if (list.isEmpty()) list << QStringLiteral("korvalinth");

    QCommandLineParser parser;
    // "-platform" and "-session" are words, as Qt spells its own options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption batch(QStringLiteral("batch"), QString(), QStringLiteral("SOUBOR"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(batch);
    for (const char* name : kBatchValueOptions)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("x")));
    for (const char* name : kBatchFlagOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    for (const char* name : kQtValueOptions)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("x")));
    for (const char* name : kQtFlagOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    if (!parser.parse(list)) {
        // Help and version answer even a line they cannot read otherwise.
        if (list.contains(QStringLiteral("--help")) || list.contains(QStringLiteral("-h")))
            return {Invocation::Mode::Help, {}, {}, {}};
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.front();
            return failure(u(climsg::kUnknownOption) + (name.size() == 1 ? "-" : "--") + name +
                           QLatin1Char('\n') + u(climsg::kHint));
        }
        const QString name = lastOptionName(list);
        if (name == QLatin1String("batch"))
            return failure(u(climsg::kMissingBatchFile) + QLatin1Char('\n') +
                           u(climsg::kBatchHint));
        return failure(u(climsg::kMissingValue) + QStringLiteral("--") + name + QLatin1Char('.') +
                       QLatin1Char('\n') + u(climsg::kHint));
    }
    if (parser.isSet(help)) return {Invocation::Mode::Help, {}, {}, {}};
    if (parser.isSet(version)) return {Invocation::Mode::Version, {}, {}, {}};

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(batch)) {
        if (!positional.isEmpty())
            return failure(u(climsg::kExtraArgument) + positional.front() + QLatin1Char('\n') +
                           u(climsg::kBatchHint));
        Invocation line;
        line.mode = Invocation::Mode::Batch;
        line.batchArgs = {"--batch", originalBytes(arguments, parser.value(batch))};
        for (const char* name : kBatchValueOptions) {
            const QString option = QString::fromLatin1(name);
            if (!parser.isSet(option)) continue;
            line.batchArgs.push_back("--" + option.toStdString());
            line.batchArgs.push_back(originalBytes(arguments, parser.value(option)));
        }
        for (const char* name : kBatchFlagOptions)
            if (parser.isSet(QString::fromLatin1(name)))
                line.batchArgs.push_back(std::string("--") + name);
        return line;
    }
    auto batchOnly = [](const char* name) {
        return failure(u(climsg::kBatchOnly).arg(QStringLiteral("--") + QString::fromLatin1(name)) +
                       QLatin1Char('\n') + u(climsg::kHint));
    };
    for (const char* name : kBatchValueOptions)
        if (parser.isSet(QString::fromLatin1(name))) return batchOnly(name);
    for (const char* name : kBatchFlagOptions)
        if (parser.isSet(QString::fromLatin1(name))) return batchOnly(name);
    if (positional.size() > 1)
        return failure(u(climsg::kExtraArgument) + positional.at(1) + QLatin1Char('\n') +
                       u(climsg::kHint));
    Invocation line;
    line.document = positional.isEmpty() ? QString() : positional.front();
    return line;
}

QString usageText(const QString& dir) {
    QString text = u(climsg::kUsage);
    const QString manual = shippedPath(dir, QStringLiteral("help/help.htm"));
    const QString examples = shippedPath(dir, QStringLiteral("examples"));
    if (!manual.isEmpty() || !examples.isEmpty()) text += QLatin1Char('\n');
    if (!manual.isEmpty()) text += u(climsg::kManualAt) + manual + QLatin1Char('\n');
    if (!examples.isEmpty()) text += u(climsg::kExamplesAt) + examples + QLatin1Char('\n');
    return text;
}

QString versionText() {
    return QStringLiteral("Korvalinth ") + QString::fromUtf8(kVersion) + '\n';
}

std::optional<int> runWithoutDisplay(const Invocation& line, const QString& dir, std::istream& in,
                                     std::ostream& out, std::ostream& err) {
    switch (line.mode) {
        case Invocation::Mode::Help:
            out << usageText(dir).toStdString();
            return 0;
        case Invocation::Mode::Version:
            out << versionText().toStdString();
            return 0;
        case Invocation::Mode::Error:
            err << line.error.toStdString() << '\n';
            return 2;
        case Invocation::Mode::Batch:
            return runBatch(line.batchArgs, in, out, err);
        case Invocation::Mode::Desktop:
            break;
    }
    return std::nullopt;
}

}  // namespace kv
