#include "engine/TextScan.h"

#include <locale.h>

#include <clocale>
#include <cstdlib>

namespace kv {

std::vector<std::string_view> splitTopLevel(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    std::size_t start = 0;
    int depth = 0;
    std::size_t i = 0;
    while (m > 0 && m <= n && i < n - m) {
        if (depth == 0 && text.compare(i, m, separator) == 0) {
            parts.push_back(text.substr(start, i - start));
            i += m;
            start = i;
            continue;
        }
        char c = text[i];
        if (c == '(' || c == '[') ++depth;
        if (c == ')' || c == ']') --depth;
        ++i;
    }
    if (start < n) parts.push_back(text.substr(start));
    return parts;
}

std::string_view stripOuterParentheses(std::string_view text, char open, char close) {
    const std::size_t n = text.size();
    if (n < 2 || text.front() != open || text.back() != close) return text;
    // match[i] for every opening character: the position of its partner.
    std::vector<std::size_t> match(n, std::string_view::npos);
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == open) {
            stack.push_back(i);
        } else if (text[i] == close) {
            if (stack.empty()) break;
            match[stack.back()] = i;
            stack.pop_back();
        }
    }
    std::size_t k = 0;
    while (2 * k + 1 < n && text[k] == open && match[k] == n - 1 - k) ++k;
    return text.substr(k, n - 2 * k);
}

std::size_t decimalPrefixLength(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto isDigit = [&](std::size_t p) { return p < n && text[p] >= '0' && text[p] <= '9'; };
    auto isSpace = [&](std::size_t p) {
        return p < n && (text[p] == ' ' || (text[p] >= '\t' && text[p] <= '\r'));
    };
    while (isSpace(i)) ++i;
    std::size_t digits = 0;
    while (isDigit(i)) ++i, ++digits;
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (isDigit(j)) ++j, ++fraction;
        if (digits + fraction == 0) return 0;
        i = j;
        digits += fraction;
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (isDigit(j)) {
            while (isDigit(j)) ++j;
            i = j;
        }
    }
    return i;
}

double readDecimal(std::string_view text) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

std::string removeBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

std::string_view trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

int significantNesting(std::string_view text) {
    const std::size_t n = text.size();
    std::vector<std::size_t> match(n, std::string_view::npos);
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '(') {
            stack.push_back(i);
        } else if (text[i] == ')' && !stack.empty()) {
            match[stack.back()] = i;
            stack.pop_back();
        }
    }
    // level[i] of an opening parenthesis: the level of its enclosing pair,
    // plus one unless it only repeats that pair.
    std::vector<int> levelOf(n, 0);
    std::vector<std::size_t> open;
    int deepest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '(' && match[i] != std::string_view::npos) {
            int level;
            if (open.empty()) {
                level = (i == 0 && match[i] == n - 1) ? 0 : 1;
            } else {
                std::size_t p = open.back();
                bool repeats = p + 1 == i && match[p] == match[i] + 1;
                level = levelOf[p] + (repeats ? 0 : 1);
            }
            levelOf[i] = level;
            if (level > deepest) deepest = level;
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty() && match[open.back()] == i) {
            open.pop_back();
        }
    }
    return deepest;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (lower(tail[i]) != lower(suffix[i])) return false;
    return true;
}

}  // namespace kv
