#pragma once
// From a script key to a property: walking an object path and setting a property from text.

#include <string>
#include <string_view>

#include "toolkit/persistent.h"

namespace nv::lang {

// The object that `path` (elements separated by ".") names, starting at `start`, or none.
// Leading elements name owned components, one level per element; the remaining ones are object
// properties, each optionally indexed into a collection ("Columns[2]"). The empty path names
// `start` itself.
toolkit::TPersistent* ResolveObjectPath(toolkit::TPersistent* start, std::string_view path);

// Sets property `propertyName` of `target` from `value`:
//  - no such property (the empty name included): nothing happens;
//  - integer: TextToInteger; a value that does not convert leaves the property as it is;
//  - object holding a string list: the list's lines are replaced from the value;
//  - other object: the value is an object path from `root`; the object found (or none) is
//    stored when the property accepts its class;
//  - any other kind: the toolkit's conversion from text, whose errors are raised as nv::Error.
void SetPropertyFromText(toolkit::TPersistent& target, std::string_view propertyName,
                         const std::string& value, toolkit::TPersistent* root);

}  // namespace nv::lang
