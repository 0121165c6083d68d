/* ztqualty.h: the quality module's exported entry points and the host objects
 * that the module and its host share.
 *
 * Conventions, once for the whole header:
 *  - Every export has C linkage and the platform's C calling convention.
 *  - Integers that the host and the module exchange are int32_t; pointers are native.
 *  - Entry points return 1 for success and 0 for failure or cancel, unless stated.
 *  - The host owns every object it passes in (HostApplication, HostContext,
 *    AnalysisRecord, graph descriptor, buffers); the module never frees them and
 *    keeps only the pointers the host hands over.
 *  - The missing value is the double -32768.0; integer "none" is -32768.
 *  - Texts are NUL-terminated, 8-bit, with CR LF line ends in panes.
 *  - No exception ever crosses an export.
 */
#ifndef ZTQUALTY_H
#define ZTQUALTY_H

#include <stdint.h>

#ifdef __cplusplus
#define ZTQ_EXTERN_C extern "C"
#else
#define ZTQ_EXTERN_C
#endif

#ifdef ZTQUALTY_BUILDING_MODULE
#define ZTQ_EXPORT ZTQ_EXTERN_C __attribute__((visibility("default")))
#else
#define ZTQ_EXPORT ZTQ_EXTERN_C
#endif

#define ZTQ_MISSING (-32768.0)
#define ZTQ_NONE (-32768)
#define ZTQ_EXPRESSION_SIZE 512
#define ZTQ_EXPRESSION_SIZE_FORM ZTQ_EXPRESSION_SIZE

#include "ztgraph.h" /* the graph descriptor and the graph component */

/* Buttons returned by the yes/no questions. */
#define ZTQ_IDYES 6
#define ZTQ_IDNO 7
#define ZTQ_IDCANCEL 2

/* Message box styles passed to HostApplication.message_box. */
enum ZtqBoxStyle {
  ZTQ_BOX_WARNING = 0,     /* OK, exclamation */
  ZTQ_BOX_INFORMATION = 1, /* OK, information */
  ZTQ_BOX_YES_NO = 2,      /* Yes/No, question */
  ZTQ_BOX_YES_NO_CANCEL = 3
};

struct HostApplication;
struct ZtSpread;
struct ZtGraph;
struct ZtAdvise;
struct ZtForm;
struct AnalysisRecord;

/* The host's application object. The module reads and writes its settings
 * through the profile operations, asks the platform for the regional settings
 * through the system-profile operations, and reaches the user through the UI
 * service. Every operation may be null; the module then uses its defaults. */
typedef struct HostApplication {
  void* host; /* the host's own state; opaque to the module */

  /* Profile operations: integers and strings by section and key. The string
   * getter copies at most size - 1 characters plus a NUL and returns the length. */
  int32_t (*get_profile_int)(struct HostApplication* app, const char* section, const char* key,
                             int32_t default_value);
  int32_t (*get_profile_string)(struct HostApplication* app, const char* section, const char* key,
                                const char* default_value, char* out, int32_t size);
  int32_t (*write_profile_int)(struct HostApplication* app, const char* section, const char* key,
                               int32_t value);
  int32_t (*write_profile_string)(struct HostApplication* app, const char* section, const char* key,
                                  const char* value);

  /* The platform's system profile (section "Intl" for the regional settings). */
  int32_t (*get_system_profile_int)(struct HostApplication* app, const char* section,
                                    const char* key, int32_t default_value);
  int32_t (*get_system_profile_string)(struct HostApplication* app, const char* section,
                                       const char* key, const char* default_value, char* out,
                                       int32_t size);

  /* UI service. message_box shows caption and text and returns the button
   * (ZTQ_IDYES, ZTQ_IDNO, ZTQ_IDCANCEL; 1 for OK). wait_cursor: 1 shows, -1 restores. */
  int32_t (*message_box)(struct HostApplication* app, const char* caption, const char* text,
                         int32_t style);
  void (*wait_cursor)(struct HostApplication* app, int32_t show);
  /* Shows or answers a form; 1 OK, 0 Cancel. */
  int32_t (*run_form)(struct HostApplication* app, struct ZtForm* form);

  /* The host's three service components; each may be null. */
  struct ZtSpread* spread;
  struct ZtGraph* graph;
  struct ZtAdvise* advise;

  /* Stands for the 73rd word of the host's application object: cleared at load
   * and whenever one of the module's data-sheet dialogs closes with OK. */
  int32_t sheet_dialog_state;

  /* The platform identifier recorded at start-up (0 is the 16-bit-hosted
   * platform whose panes keep their text in the record). */
  int32_t platform_id;
} HostApplication;

/* ---- Forms: the module's dialogs, answered by the host ------------------
 * The module fills a form with the current values; the host shows or answers
 * it and returns 1 (OK) or 0 (Cancel). When the module refuses an answer it
 * sets `refusal` and asks again once; a second refusal cancels. */
enum ZtqFieldKind {
  ZTQ_FIELD_EXPRESSION = 0, /* a data-sheet expression (a variable) */
  ZTQ_FIELD_INTEGER = 1,
  ZTQ_FIELD_REAL = 2,
  ZTQ_FIELD_TEXT = 3,
  ZTQ_FIELD_CHOICE = 4 /* an integer 0..maximum; labels in `help` separated by '|' */
};

typedef struct ZtFormField {
  char name[48]; /* the name the host answers by: "data", "option34", "doption21", ... */
  char label[128];
  int32_t kind;                         /* ZtqFieldKind */
  char value[ZTQ_EXPRESSION_SIZE_FORM]; /* current value as text; the host writes its answer here */
  double minimum;                       /* numbers: inclusive bounds; ZTQ_MISSING when unbounded */
  double maximum;
  int32_t required; /* 1: an empty answer is refused */
  char help[256];
} ZtFormField;

typedef struct ZtForm {
  int32_t id; /* the dialog's number */
  char title[128];
  int32_t field_count;
  ZtFormField* fields; /* module-owned for the duration of the call */
  char refusal[512];   /* why the previous answer was refused; "" the first time */
} ZtForm;

/* ---- The host's per-document context ---------------------------------- */
#define ZTQ_MAX_ANALYSES 256

typedef struct HostContext {
  void* host;
  void (*change_notification)(struct HostContext* ctx, int32_t what); /* called with 1 */
  int32_t next_analysis_index;
  int32_t procedure_code[ZTQ_MAX_ANALYSES]; /* per analysis index */
  int32_t row_count;
  int32_t unequal_lengths;
  int32_t host_values[2];
  int32_t current_analysis;
  int32_t computed_analyses;
  int32_t sort_variable_names; /* "Sortvarnames" of section "Page Setup" */
  int32_t save_digits;         /* significant digits of values saved to the sheet */
  int32_t four_digit_years;
  int32_t graph_counters[4];
} HostContext;

/* A pane window of the host: the module sets its text and asks for a refresh. */
typedef struct PaneWindow {
  void* host;
  void (*set_text)(struct PaneWindow* pane, const char* text);
  void (*refresh)(struct PaneWindow* pane);
} PaneWindow;

/* The host window of an analysis; invalidate is called with 0 when the second
 * auxiliary variable is invalid. */
typedef struct AnalysisWindow {
  void* host;
  void (*invalidate)(struct AnalysisWindow* window, int32_t what);
} AnalysisWindow;

/* The sheet state and sheet window objects handed to BeginAgain. */
typedef struct SheetState {
  int32_t changed; /* stands for word 21: set to 1 after the module wrote columns */
} SheetState;
typedef struct SheetWindow {
  int32_t handle; /* stands for word 8: the window that gets the command before saving */
} SheetWindow;

/* ---- ZTADVISE: the advisor component ---------------------------------- */
typedef struct ZtAdvise {
  void* self;
  /* 4: fills buffer (size bytes) with the advice for a pane of the record */
  int32_t (*GetAdviceText)(void* self, struct AnalysisRecord* record, int32_t pane, char* buffer,
                           int32_t size, int32_t reserved, int32_t graph_pane);
} ZtAdvise;

/* ---- The analysis record ----------------------------------------------
 * Host-allocated (zero-filled) and host-kept, also across saving and
 * reopening; the module fills and reads it. Persistent fields are plain data.
 * Blocks behind pointers are allocated with malloc by the module, which frees
 * and re-makes them at each recomputation; QualReleaseRecord frees them when
 * the host closes the analysis. The host may set `excluded` to a malloc'd
 * block of its own before BeginAgain when it reopens a saved analysis. */
#define ZTQ_PANES 14
#define ZTQ_TEXT_PANES 7
#define ZTQ_MAX_VARIABLES_PER_ANALYSIS 32 /* room for 25 data columns of a wide layout */
#define ZTQ_INT_OPTIONS 128
#define ZTQ_REAL_OPTIONS 64

typedef struct VariableSlot {
  char expression[ZTQ_EXPRESSION_SIZE]; /* the expression text, NUL-terminated */
  void* data;     /* rows doubles, or rows x width characters (space padded) */
  int32_t rows;   /* rows in the data block */
  double minimum; /* of the non-missing numeric values; missing when none */
  double maximum;
  int32_t count; /* non-missing numeric values, or non-blank character rows */
  int32_t type;  /* 'N', 'C' or a date letter; 0 when not loaded */
  int32_t width; /* 1 for numeric data */
} VariableSlot;

typedef struct PaneText { /* kept only on the platform whose identifier is 0 */
  char* lines;            /* NUL-terminated lines one after another, CR removed */
  int32_t widest;
  int32_t line_count;
} PaneText;

typedef struct AnalysisRecord {
  void* host_object;        /* the host's object header (opaque) */
  int32_t dirty[ZTQ_PANES]; /* 1: pane k+1 must be rebuilt */
  int32_t computed;         /* 1 after a successful Begin */
  int32_t computed_once;    /* 0 until the first successful Begin */
  int32_t index;            /* the record's own analysis index */
  int32_t variable_count;   /* slots in use */
  VariableSlot variables[ZTQ_MAX_VARIABLES_PER_ANALYSIS];
  int32_t* excluded; /* one flag per point (1 excluded) */
  int32_t point_count;
  VariableSlot selection;
  VariableSlot auxiliary1;
  VariableSlot auxiliary2;
  int32_t title_number; /* string number of the window title */
  int32_t unequal_lengths;
  int32_t host_values[2]; /* copied from the HostContext; opaque */
  int32_t row_count;
  int32_t error_state; /* 0 or a message number */
  int32_t further;     /* cleared by Begin */
  int32_t input_mode;
  int32_t variant;   /* chart type or procedure variant */
  int32_t procedure; /* the procedure code written into the HostContext */
  int32_t option[ZTQ_INT_OPTIONS];
  double doption[ZTQ_REAL_OPTIONS];
  int32_t pane_option[ZTQ_PANES][8];      /* options of panes 2..14, by pane */
  void* results;                          /* the procedure's results, module-owned */
  void (*release_results)(void* results); /* how the module frees them; not persisted */
  PaneText pane_text[ZTQ_TEXT_PANES];
  int32_t masks[2]; /* bit k: text pane k+1; graph pane k+8 */
} AnalysisRecord;

/* ---- ZTSPREAD: the data sheet component -------------------------------
 * Columns are named; numeric columns hold doubles (ZTQ_MISSING for missing),
 * character columns fixed-width text (space padded), date columns doubles with
 * a date type letter. The number after each operation is its ordinal in the
 * component. Column arguments are 0-based where marked c0, 1-based where c1;
 * rows are 1-based. `self` is the component's own state. */
#define ZTQ_NAME_SIZE 33 /* bytes per name in ListSheetVariables' buffer */
#define ZTQ_MAX_VARIABLES 1000
#define ZTQ_LIST_BUFFER 33000

typedef struct ZtSpread {
  void* self;
  /* reading variables */
  int32_t (*ListSheetVariables)(void* self, char* buffer33000); /* 5 */
  int32_t (*SheetRowCount)(void* self);                         /* 8 */
  int32_t (*VariableType)(void* self, int32_t c0);              /* 9: 'N', 'C' or a date letter */
  int32_t (*VariableComment)(void* self, int32_t c0, char* text256); /* 45 */
  int32_t (*VariableWidth)(void* self, int32_t c0);                  /* 12 */
  void (*BeginSheetAccess)(void* self, int32_t read);                /* 22: 1 read, 0 write */
  int32_t (*ReadCell)(void* self, int32_t c1, int32_t row,
                      void* value);                            /* 20: double, or width chars */
  void (*EndSheetAccess)(void* self);                          /* 23 */
  void (*SetEvaluationRows)(void* self, int32_t rows);         /* 52 */
  int32_t (*EvaluateExpression)(void* self, const char* text); /* 39: 0 invalid */
  int32_t (*ExpressionResultInfo)(void* self,
                                  int32_t item); /* 36: 0 length, 1 type, 2 width, 3 column or -1 */
  int32_t (*ExpressionFetch)(void* self, int32_t mode, void* value); /* 40: 1 next value, 0 end */
  /* saving results */
  int32_t (*CreateColumn)(void* self, const char* name, int32_t type, int32_t width,
                          int32_t flag); /* returns the new 1-based column, 0 when refused */
  int32_t (*DefineColumn)(void* self, int32_t c1, int32_t type, int32_t width, int32_t flag);
  int32_t (*ClearColumn)(void* self, int32_t c1);
  int32_t (*SheetStateQuery)(
      void* self); /* 23 of the sheet state: 1 when a save must be announced */
  int32_t (*SheetSendMessage)(void* self, int32_t window, int32_t message, int32_t wparam,
                              int32_t lparam);
  int32_t (*ExtendSheetRows)(void* self, int32_t rows);
  int32_t (*PrepareColumn)(void* self, int32_t c1, int32_t rows, int32_t flag);
  int32_t (*WriteCell)(void* self, int32_t c1, int32_t row, const char* text);
  int32_t (*IsValidColumnName)(void* self,
                               const char* name); /* non-zero when name may name a new column */
  /* typed expressions in dialogs */
  int32_t (*SubmitExpressionTextFor)(void* self, int32_t c1, const char* text,
                                     int32_t flag);                                 /* 30 */
  int32_t (*SubmitExpressionText)(void* self, const char* text);                    /* 37 */
  int32_t (*SubmitCommandText)(void* self, const char* text, int32_t a, int32_t b); /* 38 */
} ZtSpread;

/* ---- Module-level exports ---------------------------------------------- */

/* Stores the application object, the 8192-byte advice buffer and the advice
 * flag, reads the regional settings and clears sheet_dialog_state. Returns 1. */
ZTQ_EXPORT int32_t IsQualityLoaded(HostApplication* app, char* advice_buffer, int32_t advice_flag);

/* Copies the text (NUL-terminated; null counts as empty) and its attribute;
 * the next graph pane adds a non-empty text as one more text item (a note
 * under its panels) and is built anew. The attribute is a colour 0xRRGGBB
 * (anything else: the settings' text colour); text items of the graph whose
 * attribute is -999 take it too. The text shows on that one graph only. */
ZTQ_EXPORT void QualSetAddedText(const char* text, int32_t attribute);

/* Offers a window message to the module's modeless dialogs; non-zero when consumed. */
ZTQ_EXPORT int32_t FilterDllMsg(void* message);

/* Runs the module's idle processing with counts 0, 1, 2, ... until it has
 * nothing more to do. Returns 0. */
ZTQ_EXPORT int32_t ProcessDllIdle(void);

/* Interpretation entry: writes the sentences that explain one pane of the
 * analysis whose record is given into out, a buffer of 8192 characters, with
 * its NUL. An unknown procedure title gives the empty text. Returns 1. */
ZTQ_EXPORT int32_t CallQualityInterpret(void* record, char* out, int32_t pane);

/* ---- The module's own exports (prefix Qual) ---------------------------- */

/* Frees the module-owned blocks of a record the host is closing. */
ZTQ_EXPORT void QualReleaseRecord(AnalysisRecord* record);

/* Writes the outcome of an analysis as one JSON object into out:
 * {"error": 0 or the message number, "error_text": its text, "results": {...}}
 * (results empty in an error state). Returns the full length, or -1 when the
 * record belongs to no procedure of the module. Missing values are null. */
ZTQ_EXPORT int32_t QualResultsJson(AnalysisRecord* record, char* out, int32_t size);

/* The "results" object of QualResultsJson alone (or, with FLAGS bit 1, its
 * "violations" array alone: nothing when the procedure flags no points),
 * handed to WRITE in chunks as it is formed (never held whole: a chart of 10^7
 * points writes gigabytes). WRITE returns nonzero to go on, 0 to stop. FLAGS
 * bit 0 leaves out the per-point series of the control charts. Returns 1 when
 * every chunk was written, 0 when WRITE stopped or the module failed, -1 when
 * the record belongs to no procedure of the module. */
typedef int32_t (*QualJsonWriteFn)(void* context, const char* bytes, int32_t count);
#define ZTQ_JSON_NO_SERIES 1
#define ZTQ_JSON_VIOLATIONS 2
ZTQ_EXPORT int32_t QualResultsJsonWrite(AnalysisRecord* record, int32_t flags,
                                        QualJsonWriteFn write, void* context);

/* The resource numbers of the sentences that CallQualityInterpret writes for
 * the pane, in their order (separators are not sentences; a sentence that a
 * missing value suppresses is not listed). Writes at most size numbers into
 * numbers (which may be null) and returns how many there are. */
ZTQ_EXPORT int32_t QualAdviceSentences(void* record, int32_t pane, int32_t* numbers, int32_t size);

/* The message number that the record's error state stands for (0 when the
 * analysis holds none), or -1 for a record of no procedure of the module. */
ZTQ_EXPORT int32_t QualErrorMessage(AnalysisRecord* record);

/* Evaluates one line "NAME ARG..." of the distribution calculator and writes
 * the result ("%.17g", "abort" or "error") into out. Returns 1 for a result,
 * 0 when a guarded function aborted, -1 for a malformed line. */
ZTQ_EXPORT int32_t QualDist(const char* line, char* out, int32_t size);

/* The module's version text, e.g. "0.1.0". */
ZTQ_EXPORT const char* QualVersion(void);

/* The text of string number id from the string table, or "" when absent. The
 * pointer stays valid until the module is unloaded. */
ZTQ_EXPORT const char* QualString(int32_t id);

/* Writes a JSON description of the module or of one procedure (roles, options
 * with their defaults, panes) into out. procedure null or "" describes the
 * module. Returns the full length of the description (which may exceed size - 1),
 * or -1 for an unknown procedure. */
ZTQ_EXPORT int32_t QualDescribe(const char* procedure, char* out, int32_t size);

/* The procedure families' entry points. */
#include "ztqualty_procedures.h"

#endif /* ZTQUALTY_H */
