#pragma once
// The language script: sections of assignments, one section per language.
//
//   [English]
//   ; a comment
//   btnNext.Caption = '&Next'
//
// Selecting a section and splitting an assignment are pure functions of their inputs; the
// script is parsed afresh each time a language is applied.

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/strings.h"

namespace nv::lang {

// The assignment lines of the section named `language` (A..Z compared without case, otherwise
// exactly, the name not trimmed), each trimmed, in script order. A section that occurs twice
// contributes the lines of both. Lines before the first header, and under a header without "]",
// belong to the section with the empty name.
std::vector<std::string> SelectSection(const toolkit::TStrings& script, std::string_view language);

struct Assignment {
    std::string key;    // the trimmed text before the first "="; empty when there is none
    std::string value;  // the trimmed text after it, unquoted, with "\n" turned into CR LF
};

// Splits one selected line at its first "=". Always succeeds: a line without "=" gives the
// empty key and the whole line as the value.
Assignment ParseAssignment(std::string_view line);

}  // namespace nv::lang
