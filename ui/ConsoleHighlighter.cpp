#include "ui/ConsoleHighlighter.h"

#include <QColor>
#include <QSet>
#include <QTextCharFormat>

namespace kv {

namespace {

const QSet<QString>& group(int g) {
    static const QSet<QString> functions = [] {
        QSet<QString> s;
        for (const QString& w :
             QStringLiteral("sin,cos,tan,asin,acos,atan,sinh,cosh,tanh,log,exp,eval,log2,ln,gcd,"
                            "lcm,fact,sqrt,sum,abs,sign,rnd,nintegrate,surface,curve,icurve,"
                            "isurface,icurve3d,derivate,lim,solve,nsolve,nintegrate,subst,taylor,"
                            "simpl,rotsurface,bg_color,line_width,remove_user_func,remove_graph,"
                            "clear_graphs,clear_user_funcs,clear,vecfield")
                 .split(','))
            s.insert(w);
        return s;
    }();
    static const QSet<QString> constants = [] {
        QSet<QString> s;
        for (const QString& w :
             QStringLiteral("pi,e,hbar,inf,golden,g,na,boltzmann,c_light,gn,true,false").split(','))
            s.insert(w);
        return s;
    }();
    static const QSet<QString> errors{QStringLiteral("chyba:")};
    return g == 0 ? functions : (g == 1 ? constants : errors);
}

bool isDelimiter(QChar c) {
    static const QString delimiters = QStringLiteral("\n\r\t (){}[]*+-/^=<>.,");
    return delimiters.contains(c) || (c >= '0' && c <= '9');
}

QTextCharFormat colour(int r, int g, int b) {
    QTextCharFormat f;
    f.setForeground(QColor(r, g, b));
    return f;
}

}  // namespace

ConsoleHighlighter::ConsoleHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

int ConsoleHighlighter::keywordGroup(const QString& word) {
    const QString lower = word.toLower();
    for (int g : {0, 1, 3})
        if (group(g).contains(lower)) return g;
    return -1;
}

void ConsoleHighlighter::highlightBlock(const QString& text) {
    static const QTextCharFormat formats[] = {colour(0, 0, 255), colour(128, 127, 0),
                                              colour(40, 90, 255), colour(255, 0, 0)};
    static const QTextCharFormat comment = colour(0, 90, 0);
    static const QTextCharFormat quoted = colour(0, 0, 0);
    const int n = static_cast<int>(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            setFormat(i, n - i, comment);
            return;
        }
        if (c == '"' || c == '\'') {
            int end = static_cast<int>(text.indexOf(c, i + 1));
            if (end < 0) end = n - 1;
            setFormat(i, end - i + 1, quoted);
            i = end + 1;
            continue;
        }
        if (c == '>' && i + 1 < n && text[i + 1] == '>') {
            setFormat(i, 2, formats[2]);
            i += 2;
            continue;
        }
        if (isDelimiter(c)) {
            ++i;
            continue;
        }
        int start = i;
        while (i < n && !isDelimiter(text[i]) && text[i] != '"' && text[i] != '\'' &&
               !(text[i] == '/' && i + 1 < n && text[i + 1] == '/'))
            ++i;
        int g = keywordGroup(text.mid(start, i - start));
        if (g >= 0) setFormat(start, i - start, formats[g]);
    }
}

}  // namespace kv
