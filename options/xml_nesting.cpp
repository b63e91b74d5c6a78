#include "options/xml_nesting.h"

#include <cctype>
#include <cstring>

namespace {

// Position just after the first occurrence of what at or after i, or size.
size_t After(const char* text, size_t size, size_t i, const char* what) {
    const size_t n = std::strlen(what);
    for (; i + n <= size; ++i)
        if (std::memcmp(text + i, what, n) == 0) return i + n;
    return size;
}

bool StartsWith(const char* text, size_t size, size_t i, const char* what) {
    const size_t n = std::strlen(what);
    return i + n <= size && std::memcmp(text + i, what, n) == 0;
}

// The parser takes "<" followed by a letter, an underscore or any byte of a
// multi-byte character as the start of an element.
bool StartsElement(unsigned char c) { return c >= 127 || std::isalpha(c) || c == '_'; }

}  // namespace

int XmlNestingDepth(const char* text, size_t size, int limit) {
    int depth = 0, deepest = 0;
    size_t i = 0;
    while (i < size) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (StartsWith(text, size, i, "<!--")) {
            i = After(text, size, i + 4, "-->");
        } else if (StartsWith(text, size, i, "<![CDATA[")) {
            i = After(text, size, i + 9, "]]>");
        } else if (StartsWith(text, size, i, "</")) {
            // At the top level the parser takes a stray end tag as an
            // unknown node; inside an element it ends it (or fails).
            if (depth > 0) --depth;
            i = After(text, size, i + 2, ">");
        } else if (i + 1 < size && StartsElement((unsigned char)text[i + 1])) {
            // A start tag: up to the first '>' outside quotes; it opens a
            // level unless it ends with "/>".
            size_t j = i + 1;
            char last = 0;
            while (j < size && text[j] != '>') {
                if (text[j] == '"' || text[j] == '\'') {
                    const char quote = text[j];
                    j = After(text, size, j + 1, quote == '"' ? "\"" : "'");
                    last = quote;
                    continue;
                }
                if (!std::isspace((unsigned char)text[j])) last = text[j];
                ++j;
            }
            // Only "/" right before ">" closes the element at once: the
            // parser refuses a "/" followed by anything else.
            const bool empty = j < size && j > i + 1 && text[j - 1] == '/' && last == '/';
            if (!empty && ++depth > deepest) {
                deepest = depth;
                if (deepest > limit) return limit + 1;
            }
            i = j < size ? j + 1 : size;
        } else {
            // Declarations, "<!" nodes and anything else the parser reads
            // as an unknown node: up to the next '>'.
            i = After(text, size, i + 1, ">");
        }
    }
    return deepest;
}
