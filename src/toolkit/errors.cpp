#include "toolkit/errors.h"

#include <string>

namespace nv::toolkit {

void ThrowInvalidPropertyElement(std::string_view element) {
    throw Error("Invalid property element: " + std::string(element));
}

void ThrowInvalidPropertyType(std::string_view propertyName) {
    throw Error("Invalid property type: " + std::string(propertyName) + " cannot be set from text");
}

void ThrowConversionError(std::string_view text, std::string_view what) {
    throw Error("'" + std::string(text) + "' is not a valid " + std::string(what) + " value");
}

void CheckListIndex(int index, int count) {
    if (index < 0 || index >= count) {
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
    }
}

}  // namespace nv::toolkit
