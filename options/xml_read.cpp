#include "options/xml_read.h"

#include <cstdio>

#include "platform/file.h"
#include "platform/platform.h"

void ReadIntAttribute(const TiXmlElement* element, const char* name, int* target, int def) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text) {
        *target = def;
        return;
    }
    int value;
    if (std::sscanf(text, "%d", &value) == 1) *target = value;
}

void ReadDoubleAttribute(const TiXmlElement* element, const char* name, double* target,
                         double def) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text) {
        *target = def;
        return;
    }
    double value;
    if (std::sscanf(text, "%lf", &value) == 1) *target = value;
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
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) return false;
    bool ok = doc.LoadFile(f);
    std::fclose(f);
    return ok;
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
    plat::MessageBox(0, "Error opening file for reading", caption, plat::MB_OK);
}
