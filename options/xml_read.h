// Shared XML routines of the content readers: attribute readers with a
// default, document loading through the platform's path form, the
// "first element of a name and every later sibling" list walk, and the
// message for a file that cannot be read.
#pragma once

#include <tinyxml.h>

// The number at the start of text, as sscanf converts it with "%d" (leading
// white space, an optional sign, decimal digits), except that a value
// beyond the range of an int is taken as the nearest end of the range.
// False when nothing converts.
bool ParseInt(const char* text, int* value);
// As sscanf converts with "%lf"; a value that is not finite (nan, inf, or
// beyond the range of a double, like 1e999) counts as nothing converted.
bool ParseDouble(const char* text, double* value);
// v as a float; values beyond the float range become its largest value.
float ToFloat(double v);

// Absent attribute: *target = def.  Present: converted by ParseInt; when
// nothing converts *target is left as it was.
void ReadIntAttribute(const TiXmlElement* element, const char* name, int* target, int def);
// The same with ParseDouble.
void ReadDoubleAttribute(const TiXmlElement* element, const char* name, double* target, double def);
// Present attribute only (no default): converts as above, else leaves *target.
void ReadIntIfPresent(const TiXmlElement* element, const char* name, int* target);
void ReadDoubleIfPresent(const TiXmlElement* element, const char* name, double* target);

// Content files are small (the shipped show's largest is 3 KB).  A file
// larger than this, or nested deeper, is not loaded: the library would
// need that much memory and recursion to parse it.
const size_t kMaxXmlFileBytes = 1024 * 1024;
const int kMaxXmlNesting = 256;

// Loads a content file; false when it is missing or not well-formed.
bool LoadXmlFile(TiXmlDocument& doc, const char* path);

// First child element of parent named name, or null.
const TiXmlElement* FirstChildNamed(const TiXmlElement* parent, const char* name);

// A list: the first child of parent named first, then every later sibling
// element whatever its name.  Counts them.
int CountListFrom(const TiXmlElement* first);

// "Error opening file for reading" with the given caption, no owner, OK.
void ShowFileOpenError(const char* caption);
