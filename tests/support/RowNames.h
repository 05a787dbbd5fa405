// Names for the rows of parameterised tables, so that a failing row is named
// by its text instead of a bare index: INSTANTIATE_TEST_SUITE_P(..., Values(...),
// rowNames(&Row::input)). Letters and digits stay, the operators are spelled
// out, any other character becomes '_'; the row's index keeps names unique.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>

namespace kv::test {

inline std::string rowName(std::string_view text, std::size_t index) {
    std::string name;
    for (char ch : text) {
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) {
            name += ch;
            continue;
        }
        switch (ch) {
            case ' ':
                break;
            case '+':
                name += "Plus";
                break;
            case '-':
                name += "Minus";
                break;
            case '*':
                name += "Times";
                break;
            case '/':
                name += "Over";
                break;
            case '^':
                name += "Pow";
                break;
            case '=':
                name += "Eq";
                break;
            case '.':
                name += "Dot";
                break;
            default:
                if (!name.empty() && name.back() != '_') name += '_';
        }
        if (name.size() >= 48) break;
    }
    if (name.empty()) name = "empty";
    return name + "_" + std::to_string(index);
}

template <class Row, class Field>
auto rowNames(Field Row::*field) {
    return [field](const ::testing::TestParamInfo<Row>& info) {
        const auto& text = info.param.*field;
        if constexpr (std::is_pointer_v<std::decay_t<Field>>) {
            return rowName(text ? std::string_view(text) : std::string_view(), info.index);
        } else {
            return rowName(std::string_view(text), info.index);
        }
    };
}

}  // namespace kv::test
