// Every string number the module asks the string table for. Code names a
// string only through Str, so this list is complete by construction, and a
// test checks that the table holds each number.
#pragma once

#include <cstdint>
#include <string>

#define ZTQ_STRINGS(X)                                                                  \
  X(kAppTitle, 57344)         /* the application title */                               \
  X(kAskReplaceColumns, 902)  /* columns of these names exist already: replace them? */ \
  X(kNoMemory, 1001)          /* memory could not be allocated */                       \
  X(kNoHelpTopic, 1003)       /* no help topic for this dialog */                       \
  X(kErrNoDataBlock, 1004)    /* error state: a data block could not be allocated */    \
  X(kEmptyVariable, 1009)     /* a variable expression is empty */                      \
  X(kErrLoadVariable, 1010)   /* error state: a variable could not be loaded */         \
  X(kInvalidColumnName, 1017) /* not a valid name for a new column */                   \
  X(kRequiredMissing, 1019)   /* %d: a required variable is missing */                  \
  X(kCharacterVariable, 1022) /* %d: character variable where numbers are needed */     \
  X(kErrVariableCheck, 1025)  /* error state: the variables failed their check */       \
  X(kBadSelection, 1026)      /* the selection variable could not be loaded */          \
  X(kBadAuxiliary1, 1027)     /* the first auxiliary variable could not be loaded */    \
  X(kBadAuxiliary2, 1028)     /* the second auxiliary variable could not be loaded */   \
  X(kBlankExpression, 1035)   /* an expression text is blank */                         \
  X(kNoPaneOptions, 1100)     /* this pane has no options */                            \
  X(kCannotEvaluate, 1184)    /* %s: the expression could not be evaluated */

namespace ztq {

enum class Str : int32_t {
#define ZTQ_STR_ENUM(name, number) name = number,
  ZTQ_STRINGS(ZTQ_STR_ENUM)
#undef ZTQ_STR_ENUM
};

inline constexpr int32_t kAllStringNumbers[] = {
#define ZTQ_STR_NUMBER(name, number) number,
    ZTQ_STRINGS(ZTQ_STR_NUMBER)
#undef ZTQ_STR_NUMBER
};

// The text of a string number from the module's string table ("" when absent).
const std::string& text(Str id);
// The text of a string used as a printf format with one integer or one text.
std::string text_with(Str id, int value);
std::string text_with(Str id, const std::string& value);

}  // namespace ztq
