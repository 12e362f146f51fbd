#pragma once

#include "common/TaggedFile.h"

#include <fstream>
#include <sstream>
#include <string>

namespace kelo::payrunreports::testing {

inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A tagged file as text to read: values unscrambled, each followed by "|"
// instead of its NUL; tags, tabs, line ends and comments as they are.
inline std::string readableView(const std::string& bytes) {
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '#') {
            const std::size_t end = bytes.find('\n', i);
            out.append(bytes, i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? bytes.size() : end;
            continue;
        }
        if (c != '\\') {
            out.push_back(c);
            ++i;
            continue;
        }
        const std::size_t brace = bytes.find('{', i);
        if (brace == std::string::npos) {
            out.append(bytes, i, std::string::npos);
            break;
        }
        const std::string name = bytes.substr(i + 1, brace - i - 1);
        out.append(bytes, i, brace - i + 1);
        i = brace + 1;
        if (name == "begin" || name == "end") {
            const std::size_t close = bytes.find('}', i);
            if (close == std::string::npos)
                return out + "<no }>";
            out.append(bytes, i, close - i + 1);
            i = close + 1;
            continue;
        }
        while (i < bytes.size() && bytes[i] != '}') {
            const std::size_t nul = bytes.find('\0', i);
            if (nul == std::string::npos)
                return out + "<no NUL>";
            out += common::unscramble(std::string_view(bytes).substr(i, nul - i)) + "|";
            i = nul + 1;
        }
        if (i < bytes.size()) {
            out.push_back('}');
            ++i;
        }
    }
    return out;
}

} // namespace kelo::payrunreports::testing
