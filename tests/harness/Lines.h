// Lists of lines (traces, titles, names) print one per line when a check on them fails.
#pragma once
#include <doctest.h>
#include <string>
#include <vector>

namespace doctest {
template <>
struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& lines)
    {
        String text = "{";
        for (const std::string& line : lines)
            text += String("\n    \"") + line.c_str() + "\"";
        return text + " }";
    }
};
} // namespace doctest
