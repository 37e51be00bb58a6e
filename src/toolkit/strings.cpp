#include "toolkit/strings.h"

#include <cstddef>

#include "toolkit/errors.h"

namespace nv::toolkit {

const ClassInfo& TStrings::StaticClass() {
    static const ClassInfo info("TStrings", &TPersistent::StaticClass());
    return info;
}

void TStrings::Assign(const TStrings* source) {
    if (source == this) {
        return;
    }
    BeginUpdate();
    Clear();
    if (source != nullptr) {
        for (int i = 0; i < source->Count(); ++i) {
            Add(source->Strings(i));
        }
    }
    EndUpdate();
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Strings(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(const std::string& text) {
    // Everything from the first byte of code 0 on is not part of the text.
    const std::size_t nul = text.find('\0');
    const std::string_view whole(text.data(), nul == std::string::npos ? text.size() : nul);
    BeginUpdate();
    Clear();
    std::size_t start = 0;
    while (start < whole.size()) {
        std::size_t end = whole.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = whole.size();
        }
        Add(std::string(whole.substr(start, end - start)));
        if (end < whole.size() && whole[end] == '\r' && end + 1 < whole.size() &&
            whole[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    EndUpdate();
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changedDuringUpdate_) {
        changedDuringUpdate_ = false;
        if (OnChange) {
            OnChange();
        }
    }
}

void TStrings::Changed() {
    if (updateCount_ > 0) {
        changedDuringUpdate_ = true;
    } else if (OnChange) {
        OnChange();
    }
}

const ClassInfo& TStringList::StaticClass() {
    static const ClassInfo info("TStringList", &TStrings::StaticClass());
    return info;
}

const std::string& TStringList::Strings(int index) const {
    CheckListIndex(index, Count());
    return lines_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::string& line) {
    CheckListIndex(index, Count());
    lines_[static_cast<std::size_t>(index)] = line;
    Changed();
}

void TStringList::Insert(int index, const std::string& line) {
    CheckListIndex(index, Count() + 1);
    lines_.insert(lines_.begin() + index, line);
    Changed();
}

void TStringList::Delete(int index) {
    CheckListIndex(index, Count());
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (!lines_.empty()) {
        lines_.clear();
        Changed();
    }
}

}  // namespace nv::toolkit
