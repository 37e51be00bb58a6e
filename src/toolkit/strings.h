#pragma once
// String lists: ordered lines of text, such as the items of a radio group or the lines of a
// rich-text box. A list reports every change through OnChange, once per update.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/persistent.h"

namespace nv::toolkit {

class TStrings : public TPersistent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    virtual int Count() const = 0;
    // The line at `index`; raises the list-index error outside the list.
    virtual const std::string& Strings(int index) const = 0;
    virtual void Put(int index, const std::string& line) = 0;
    virtual void Insert(int index, const std::string& line) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    void Add(const std::string& line) { Insert(Count(), line); }

    // Replaces all lines with copies of the lines of `source`; none clears the list.
    void Assign(const TStrings* source);

    // Every line followed by a carriage return and a line feed.
    std::string Text() const;
    // Replaces all lines from one text: carriage return, line feed, and carriage return plus
    // line feed each end one line; a break at the very end adds no empty line; an empty text
    // leaves the list empty; a byte of code 0 ends the text.
    void SetText(const std::string& text);

    // Several changes between BeginUpdate and the matching EndUpdate report one change.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    std::function<void()> OnChange;

protected:
    // Derived lists call this after each change.
    void Changed();

private:
    int updateCount_ = 0;
    bool changedDuringUpdate_ = false;
};

class TStringList : public TStrings {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    int Count() const override { return static_cast<int>(lines_.size()); }
    const std::string& Strings(int index) const override;
    void Put(int index, const std::string& line) override;
    void Insert(int index, const std::string& line) override;
    void Delete(int index) override;
    void Clear() override;

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

}  // namespace nv::toolkit
