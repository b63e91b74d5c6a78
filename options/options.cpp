#include "options/options.h"


#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"

COptions g_options;

namespace {

struct OptionField {
    const char* name;
    int COptions::*member;
    int def;  // when the element has no v
};

// File order, which is also the reading order.
const OptionField kFields[] = {
    {"KeepAspect_1_6", &COptions::KeepAspect_1_6, 0},
    {"SoundsEnabled", &COptions::SoundsEnabled, 0},
    {"DoNotUseAccumBuffer", &COptions::DoNotUseAccumBuffer, 0},
    {"SleepEnabled", &COptions::SleepEnabled, 1},
    {"IgnoreMouseMove", &COptions::IgnoreMouseMove, 1},
};

}  // namespace

bool COptions::Load(const char* fileName) {
    char path[256];
    TiXmlDocument doc;
    bool formed = plat::FormatPath(path, sizeof path, "%s\\%s", g_dataDir, fileName);
    if (!formed || !LoadXmlFile(doc, path)) {
        ShowFileOpenError(formed ? path : fileName);
        return false;
    }
    const TiXmlElement* root = doc.RootElement();
    if (!root) return false;
    for (const OptionField& f : kFields) {
        const TiXmlNode* node = root->FirstChild(f.name);
        if (node && node->ToElement()) ReadIntAttribute(node->ToElement(), "v", &(this->*f.member), f.def);
    }
    return true;
}

bool COptions::Save(const char* fileName) {
    char path[256];
    if (!plat::FormatPath(path, sizeof path, "%s\\%s", g_dataDir, fileName)) return false;
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    TiXmlElement* root = new TiXmlElement("OPTIONS");
    doc.LinkEndChild(root);
    for (const OptionField& f : kFields) {
        TiXmlElement* e = new TiXmlElement(f.name);
        e->SetAttribute("v", this->*f.member);
        root->LinkEndChild(e);
    }

    TiXmlPrinter printer;
    doc.Accept(&printer);
    return plat::ReplaceFile(plat::NativePath(path), printer.Str());
}
