// How deeply the elements of an XML text nest, measured without parsing it.
// The XML library parses (and frees) a document recursively, one level of
// the stack for each level of nesting, so a document nested deeply enough
// would overflow the stack: its depth is checked first.
#pragma once

#include <cstddef>

// The deepest nesting of elements the library's parser would reach on text,
// never less (a malformed document may count deeper than it would parse).
// Counting stops once it passes limit; the result is then limit + 1.
int XmlNestingDepth(const char* text, size_t size, int limit);
