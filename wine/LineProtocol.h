#pragma once

// The line protocol of tevo-winebridge on the Windows side: UTF-8 lines ending in LF, fields
// separated by TAB; inside a field backslash, TAB, CR and LF are written \\, \t, \r and \n.

#include <optional>
#include <string>
#include <vector>

namespace tevo::wine {

inline std::string escapeField(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The fields of a line (without its LF); nullopt when a backslash starts no known escape.
inline std::optional<std::vector<std::string>> splitLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (++i < line.size()) {
            switch (line[i]) {
            case '\\':
                fields.back() += '\\';
                break;
            case 't':
                fields.back() += '\t';
                break;
            case 'r':
                fields.back() += '\r';
                break;
            case 'n':
                fields.back() += '\n';
                break;
            default:
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

inline std::string joinLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += escapeField(fields[i]);
    }
    line += '\n';
    return line;
}

} // namespace tevo::wine
