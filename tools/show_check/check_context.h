// The shared part of the checker's passes: where findings go, the message
// boxes the saver's own readers show while the checker drives them, and the
// look at attributes and lists that the readers pass over in silence.
#pragma once

#include <tinyxml.h>

#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tools/show_check/show_check.h"

// How an attribute is read: as an int ("%d"), a real ("%lf") or text.
enum AttributeKind { ATTR_INT, ATTR_REAL, ATTR_TEXT };
struct AttributeRule {
    const char* name;
    AttributeKind kind;
};

class CheckContext {
public:
    CheckContext(const std::string& dataDir, const CheckSettings& settings)
        : dataDir(dataDir), settings(settings) {}

    const std::string dataDir;  // ends with '/'
    const CheckSettings settings;
    CheckReport report;
    // Figure files already looked at (several scripts may use one).
    std::set<std::string> figuresChecked;
    plat::MemoryPlatform platform;

    void Error(const std::string& file, const std::string& element, const std::string& text);
    void Warn(const std::string& file, const std::string& element, const std::string& text);

    // The message boxes shown since the last call, as errors.  A box whose
    // caption names a file of the show is filed under it, others under
    // file and element.  The same box for the same file is told once.
    void TakeBoxes(const std::string& file, const std::string& element = "");
    // The caption of a box as a path inside the show ("nightGarden/scene.xml"),
    // or empty when it names none.
    std::string ShowPath(const std::string& caption) const;

    // Parses a file of the show; false (and no finding) when it cannot be
    // read or parsed: the saver's own reader says so.
    bool Parse(const std::string& file, TiXmlDocument* doc) const;

    // Attributes of e the reader does not know (names are case-sensitive),
    // and numbers it cannot read or reads only in part.
    void CheckAttributes(const std::string& file, const std::string& element, const TiXmlElement* e,
                         const std::vector<AttributeRule>& rules);
    // Child elements of parent other than the known ones (the reader does
    // not look at them).
    void CheckChildren(const std::string& file, const TiXmlElement* parent,
                       const std::vector<std::string>& known);
    // A list read from its first element named name through every later
    // sibling: later siblings of another name are read as entries too.
    void CheckListNames(const std::string& file, const TiXmlElement* first, const char* name);

private:
    std::set<std::string> told_;
    size_t boxesTaken_ = 0;
};

// "Command 3" and the like, counting from 1.
std::string Numbered(const char* what, int index0);
// A file name inside a folder of the show, as the reader forms it.
std::string InFolder(const char* folder, const std::string& name);
