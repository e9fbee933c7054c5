#pragma once

#include "store/Store.h"

#include <QStringList>

#include <initializer_list>

namespace kivo::test {

// The 93 fields of a store in order, to compare whole stores at once.
inline QStringList storeFields(const Store& store) {
  QStringList fields;
  for (int k = 1; k <= Store::kFieldCount; ++k) fields << store.field(k);
  return fields;
}

// Program lines 1, 2, ... as the given codes; the other lines stay.
inline void setProgramLines(Store& store, std::initializer_list<int> codes) {
  int line = 1;
  for (int code : codes) store.setProgramLine(line++, QString::number(code));
}

// A field the bitmap writer refuses: `text` in field `field` (a program
// line 1..20 is typed where a window shows it), and how its message starts.
struct RefusedText {
  const char* tag;
  int field;
  const char16_t* text;
  const char16_t* message;
};

}  // namespace kivo::test
