// Shared XML routines of the content readers: attribute readers with a
// default, document loading through the platform's path form, the
// "first element of a name and every later sibling" list walk, and the
// message for a file that cannot be read.
#pragma once

#include <tinyxml.h>

// Absent attribute: *target = def.  Present: converted as sscanf "%d" does;
// when nothing converts *target is left as it was.
void ReadIntAttribute(const TiXmlElement* element, const char* name, int* target, int def);
// The same with "%lf".
void ReadDoubleAttribute(const TiXmlElement* element, const char* name, double* target,
                         double def);
// Present attribute only (no default): converts as above, else leaves *target.
void ReadIntIfPresent(const TiXmlElement* element, const char* name, int* target);
void ReadDoubleIfPresent(const TiXmlElement* element, const char* name, double* target);

// Loads a content file; false when it is missing or not well-formed.
bool LoadXmlFile(TiXmlDocument& doc, const char* path);

// First child element of parent named name, or null.
const TiXmlElement* FirstChildNamed(const TiXmlElement* parent, const char* name);

// A list: the first child of parent named first, then every later sibling
// element whatever its name.  Counts them.
int CountListFrom(const TiXmlElement* first);

// "Error opening file for reading" with the given caption, no owner, OK.
void ShowFileOpenError(const char* caption);
