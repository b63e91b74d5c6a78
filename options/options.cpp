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
        // Read at start and again when the window is made: said once.
        if (!g_run.optionsUnreadableTold) ShowFileOpenError(formed ? path : fileName);
        g_run.optionsUnreadableTold = true;
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

    // Nothing outside the data folder is written: a linked options file is
    // neither followed nor replaced.
    const std::string target = plat::NativePath(path);
    const std::string shown = plat::DisplayPath(path);
    if (plat::IsLink(target)) {
        plat::MessageBox(0,
                         "The options file is a link. It is left alone, and the options are not "
                         "saved.",
                         shown.c_str(), plat::MB_OK);
        return false;
    }
    // A file that is there but not well-formed (a hand edit with a typo),
    // or too large to be options, is kept beside the new one first, once
    // however often this runs; a file that cannot be replaced is left as it
    // is, without a copy.
    const long long size = plat::RegularFileSize(target);
    const bool tooLarge = size > (long long)kMaxXmlFileBytes;
    TiXmlDocument old;
    std::string kept;
    if (size > 0 && (tooLarge || !LoadXmlFile(old, path))) {
        if (!plat::CanReplaceFile(target) ||
            !plat::KeepUnderFreeName(target, ".broken", kMaxXmlFileBytes, &kept))
            return false;
    }

    TiXmlPrinter printer;
    doc.Accept(&printer);
    const bool written = plat::ReplaceFile(target, plat::TextFileContents(printer.Str()));
    if (!kept.empty()) {
        // Told once the outcome is known.
        const std::string text =
            std::string(tooLarge ? "The options file was too large to hold options."
                                 : "The options file was not well-formed XML.") +
            " It is kept as " + plat::DisplayPath(kept.c_str()) +
            (written ? " and written anew." : "; a new one could not be written.");
        plat::MessageBox(0, text.c_str(), shown.c_str(), plat::MB_OK);
    }
    return written;
}
