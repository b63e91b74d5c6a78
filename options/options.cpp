#include "options/options.h"

#include <string>

#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"
#include "platform/platform.h"

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
    bool formed = plat::FormatDataPath(path, sizeof path, "\\%s", fileName);
    if (!formed || !LoadXmlFile(doc, path)) {
        ShowFileOpenError(formed ? path : fileName);
        return false;
    }
    const TiXmlElement* root = doc.RootElement();
    if (!root) return false;
    for (const OptionField& f : kFields) {
        const TiXmlNode* node = root->FirstChild(f.name);
        if (node && node->ToElement())
            ReadIntAttribute(node->ToElement(), "v", &(this->*f.member), f.def);
    }
    return true;
}

bool COptions::Save(const char* fileName) {
    char path[256];
    if (!plat::FormatDataPath(path, sizeof path, "\\%s", fileName)) return false;
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    TiXmlElement* root = new TiXmlElement("OPTIONS");
    doc.LinkEndChild(root);
    for (const OptionField& f : kFields) {
        TiXmlElement* e = new TiXmlElement(f.name);
        e->SetAttribute("v", this->*f.member);
        root->LinkEndChild(e);
    }

    // A file that is there but not well-formed (a hand edit with a typo)
    // is kept beside the new one first; without that copy it stays.
    const std::string target = plat::NativePath(path);
    TiXmlDocument old;
    if (plat::RegularFileSize(target) > 0 && !LoadXmlFile(old, path)) {
        std::string kept;
        if (!plat::CopyToFreeName(target, ".broken", &kept)) return false;
        const std::string text = "The options file was not well-formed XML. It is kept as " + kept +
                                 " and written anew.";
        plat::MessageBox(0, text.c_str(), path, plat::MB_OK);
    }

    TiXmlPrinter printer;
    doc.Accept(&printer);
    return plat::ReplaceFile(target, printer.Str());
}
