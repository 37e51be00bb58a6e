#include "lang/object_path.h"

#include <vector>

#include "lang/text_to_integer.h"
#include "toolkit/collection.h"
#include "toolkit/component.h"
#include "toolkit/strings.h"
#include "toolkit/text.h"

namespace nv::lang {

using toolkit::PropertyKind;
using toolkit::TPersistent;

namespace {

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> elements;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = path.find('.', start);
        if (dot == std::string_view::npos) {
            elements.push_back(path.substr(start));
            return elements;
        }
        elements.push_back(path.substr(start, dot - start));
        start = dot + 1;
    }
}

// One property step: the object that property `element` of `current` refers to, then the
// collection item the element's index names, if any. None when the step leads nowhere.
TPersistent* PropertyStep(TPersistent& current, std::string_view element) {
    const std::size_t open = element.find('[');
    const toolkit::Property* property = current.FindProperty(element.substr(0, open));
    if (property == nullptr || property->Kind() != PropertyKind::Object) {
        return nullptr;
    }
    TPersistent* next = property->GetObject(current);
    if (next == nullptr || open == std::string_view::npos) {
        return next;
    }
    const std::size_t close = element.find(']');
    if (close == std::string_view::npos || close < open) {
        return next;
    }
    const auto index = toolkit::ParseInt32(element.substr(open + 1, close - open - 1));
    auto* collection = dynamic_cast<toolkit::TCollection*>(next);
    if (index && collection != nullptr) {
        return &collection->Items(*index);  // outside the collection: the list-index error
    }
    return next;
}

}  // namespace

TPersistent* ResolveObjectPath(TPersistent* start, std::string_view path) {
    if (start == nullptr || path.empty()) {
        return start;
    }
    const std::vector<std::string_view> elements = SplitPath(path);
    TPersistent* current = start;
    std::size_t next = 0;
    // Component steps, as long as each element names a component owned by the current one.
    while (next < elements.size()) {
        auto* component = dynamic_cast<toolkit::TComponent*>(current);
        toolkit::TComponent* owned =
            component != nullptr ? component->FindComponent(elements[next]) : nullptr;
        if (owned == nullptr) {
            break;
        }
        current = owned;
        ++next;
    }
    // Property steps for the rest.
    for (; next < elements.size() && current != nullptr; ++next) {
        current = PropertyStep(*current, elements[next]);
    }
    return current;
}

void SetPropertyFromText(TPersistent& target, std::string_view propertyName,
                         const std::string& value, TPersistent* root) {
    const toolkit::Property* property = target.FindProperty(propertyName);
    if (property == nullptr) {
        return;
    }
    switch (property->Kind()) {
        case PropertyKind::Integer:
            if (const auto number = TextToInteger(value)) {
                property->SetInteger(target, *number);
            }
            return;
        case PropertyKind::Object:
            if (auto* lines = dynamic_cast<toolkit::TStrings*>(property->GetObject(target))) {
                lines->SetText(value);
            } else {
                // A value here is a path to another object, never a file to read.
                property->SetObject(target, ResolveObjectPath(root, value));
            }
            return;
        default:
            property->SetAsText(target, value);
            return;
    }
}

}  // namespace nv::lang
