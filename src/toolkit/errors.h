#pragma once
// The toolkit's own errors. They are nv::Error exceptions, so an error raised while a property
// is set from text travels up to the caller (and from there to the window's error report).

#include <optional>
#include <string_view>

#include "base/error.h"

namespace nv::toolkit {

// An enumeration or set element name that the property's type lacks.
[[noreturn]] void ThrowInvalidPropertyElement(std::string_view element);

// A property whose kind cannot be set from text (events and the like).
[[noreturn]] void ThrowInvalidPropertyType(std::string_view propertyName);

// A text that does not convert to the value a property needs; `what` names the kind of value,
// for example "integer" or "floating-point".
[[noreturn]] void ThrowConversionError(std::string_view text, std::string_view what);

// The value parsed from `text`, or the conversion error when `text` is not a `what`.
template <class V>
V ParsedOrThrow(std::optional<V> value, std::string_view text, std::string_view what) {
    if (!value) {
        ThrowConversionError(text, what);
    }
    return *value;
}

// Raises the list-index error unless `index` lies within 0 .. count-1 of a list or collection.
void CheckListIndex(int index, int count);

}  // namespace nv::toolkit
