// The scroller format text: a mode number, then pairs of a field template and a number
// ("1,%Title%,1,%Text%,1"), and the expansion of a template against a story's fields.
#pragma once

#include <functional>
#include <vector>

#include "qm/collections.h"

namespace vinnet {

struct ScrollerPair {
  CString field_template;
  int number = 0;
};

struct ScrollerFormat {
  int mode = 0;
  std::vector<ScrollerPair> pairs;
};

// Splits at commas: the mode, then template and number by turns (a missing number is 0).
ScrollerFormat ParseScrollerFormat(const CString& text);

// Looks a field up: false when the story has none of that name.
using FieldLookup = std::function<bool(const CString& name, CString& value)>;

// Copies the template, replacing each name between two "%" by its field trimmed of blanks
// (empty when missing); what follows an unmatched "%" is dropped.
CString ExpandTemplate(const char* field_template, const FieldLookup& field);

CString TrimBlanks(const CString& text);

}  // namespace vinnet
