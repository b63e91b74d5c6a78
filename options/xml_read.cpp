#include "options/xml_read.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "options/xml_nesting.h"
#include "platform/file.h"
#include "platform/platform.h"

bool ParseInt(const char* text, int* value) {
    const char* p = text;
    while (std::isspace((unsigned char)*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!std::isdigit((unsigned char)*p)) return false;
    // Beyond the range of an int the value stays at its end of the range.
    int64_t v = 0;
    for (; std::isdigit((unsigned char)*p); ++p)
        if (v <= (int64_t)INT_MAX + 1) v = v * 10 + (*p - '0');
    v = negative ? -v : v;
    *value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
    return true;
}

bool ParseDouble(const char* text, double* value) {
    double v;
    if (std::sscanf(text, "%lf", &v) != 1 || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

float ToFloat(double v) {
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return (float)v;
}

void ReadIntAttribute(const TiXmlElement* element, const char* name, int* target, int def) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text) {
        *target = def;
        return;
    }
    ParseInt(text, target);
}

void ReadDoubleAttribute(const TiXmlElement* element, const char* name, double* target,
                         double def) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text) {
        *target = def;
        return;
    }
    ParseDouble(text, target);
}

void ReadIntIfPresent(const TiXmlElement* element, const char* name, int* target) {
    int keep = *target;
    ReadIntAttribute(element, name, target, keep);
}

void ReadDoubleIfPresent(const TiXmlElement* element, const char* name, double* target) {
    double keep = *target;
    ReadDoubleAttribute(element, name, target, keep);
}

bool LoadXmlFile(TiXmlDocument& doc, const char* path) {
    std::string text;
    if (!path ||
        plat::ReadWholeFile(plat::NativePath(path), kMaxXmlFileBytes, &text) != plat::FileRead::OK)
        return false;
    // Too large a file, or elements nested too deeply for the parser's
    // recursion, are not well-formed content here.
    if (text.empty() || XmlNestingDepth(text.data(), text.size(), kMaxXmlNesting) > kMaxXmlNesting)
        return false;
    // As the library loads a file: the text up to its first NUL, line ends
    // made LF.  Its parser may step up to three bytes past the end of the
    // text (a multi-byte character cut off by the end), so the text ends
    // in a run of NULs that it reads instead.
    std::string parsed;
    parsed.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size() && text[i]; ++i) {
        if (text[i] == '\r') {
            parsed += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            parsed += text[i];
        }
    }
    parsed.append(16, '\0');
    doc.Clear();
    doc.Parse(parsed.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    return !doc.Error();
}

const TiXmlElement* FirstChildNamed(const TiXmlElement* parent, const char* name) {
    return parent ? parent->FirstChildElement(name) : nullptr;
}

int CountListFrom(const TiXmlElement* first) {
    int n = 0;
    for (const TiXmlElement* e = first; e; e = e->NextSiblingElement()) ++n;
    return n;
}

void ShowFileOpenError(const char* caption) {
    plat::MessageBox(0, "Error opening file for reading", plat::DisplayPath(caption).c_str(),
                     plat::MB_OK);
}
