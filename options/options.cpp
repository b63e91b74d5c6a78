#include "options/options.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "host/data_directory.h"
#include "options/xml_read.h"
#include "platform/file.h"

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

    // Write beside the file, then rename over it.
    const std::string target = plat::NativePath(path);
    const std::string temp = target + ".new";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) return false;
    bool ok = doc.SaveFile(f);
    ok = (std::fflush(f) == 0) && ok;
    ok = (fsync(fileno(f)) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
