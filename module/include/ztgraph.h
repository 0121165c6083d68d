/* ztgraph.h: the graph component (ZTGRAPH) and the graph description that the
 * module's graph panes hand to it.
 *
 * Conventions, once for the whole header:
 *  - C, standard layout; integers are int32_t, coordinates and sizes double.
 *  - The host owns the ZtGraphDescriptor (with its embedded layout block and
 *    settings). The element tables it points to (points, coordinates, lines,
 *    bars, texts, attributes) and every text pointer are owned by the module
 *    and stay valid only until the module builds its next graph: the component
 *    copies what it keeps during CreateGraph.
 *  - A coordinate that is the missing value (-32768.0), NaN or infinite is not
 *    drawn; an index outside its table makes its element invisible, never a
 *    read out of bounds.
 *  - Colours are 0xRRGGBB; ZTG_COLOUR_AUTO takes the settings' colour for the
 *    attribute's tag, ZTG_COLOUR_NONE draws nothing (an unfilled shape).
 *  - Texts are NUL-terminated, UTF-8 or 8-bit Latin-1 (the component reads
 *    text that is not valid UTF-8 as Latin-1).
 *
 * CreateGraph of the component takes, in the host package's terms, 16 values:
 * the first two words of the descriptor (`size`, `kind`), the address of the
 * embedded layout block (`layout`), twelve handles and counts of the element
 * tables (points, coords, lines, bars, texts, attributes, each pointer and
 * count), and one further descriptor value (`options`). Here one pointer to
 * the descriptor carries all sixteen in the fields of those names.
 */
#ifndef ZTGRAPH_H
#define ZTGRAPH_H

#include <stdint.h>

#define ZTG_MAX_PANELS 8
#define ZTG_MISSING (-32768.0) /* the missing value, as ZTQ_MISSING */
#define ZTG_COLOUR_AUTO (-1)
#define ZTG_COLOUR_NONE (-2)
/* The text attribute that takes the attribute of the added text. */
#define ZTG_ADDED_ATTRIBUTE (-999)

/* What an element stands for; chooses its default colour and look. */
enum ZtgTag {
  ZTG_TAG_DATA = 0,           /* the plotted series */
  ZTG_TAG_CENTRE_LINE = 1,    /* centre line of a control chart */
  ZTG_TAG_LIMIT_LINE = 2,     /* control limits */
  ZTG_TAG_WARNING_LINE = 3,   /* warning lines (1 and 2 sigma) */
  ZTG_TAG_SPEC_LIMIT = 4,     /* specification limits and the nominal */
  ZTG_TAG_OUT_OF_CONTROL = 5, /* a point beyond its limits or flagged by a runs rule */
  ZTG_TAG_EXCLUDED = 6,       /* a point excluded from the estimates */
  ZTG_TAG_FIT_CURVE = 7,      /* fitted density, probability-plot line, ellipse */
  ZTG_TAG_BAR = 8,            /* histogram classes, Pareto bars, boxes */
  ZTG_TAG_CUMULATIVE = 9,     /* Pareto cumulative line */
  ZTG_TAG_REFERENCE = 10,     /* other reference lines, whiskers, spokes */
  ZTG_TAG_TEXT = 11,          /* free texts and table cells */
  ZTG_TAG_COUNT = 12
};

enum ZtgMarker {
  ZTG_MARK_NONE = 0,
  ZTG_MARK_CIRCLE = 1,
  ZTG_MARK_SQUARE = 2,
  ZTG_MARK_TRIANGLE = 3,
  ZTG_MARK_DIAMOND = 4,
  ZTG_MARK_CROSS = 5,       /* x */
  ZTG_MARK_PLUS = 6,        /* + */
  ZTG_MARK_CIRCLE_CROSS = 7 /* hollow circle with an x: excluded points */
};

enum ZtgLineStyle {
  ZTG_LINE_SOLID = 0,
  ZTG_LINE_DASH = 1,
  ZTG_LINE_DOT = 2,
  ZTG_LINE_DASH_DOT = 3
};

/* Which axes or frame an element's x and y refer to. Fractions run 0..1 with
 * the origin at the bottom left and y upwards. */
enum ZtgCoords {
  ZTG_COORDS_DATA = 0,  /* the panel's X and Y axes */
  ZTG_COORDS_DATA2 = 1, /* the panel's X axis and second Y axis */
  ZTG_COORDS_PLOT = 2,  /* fractions of the panel's plot area */
  ZTG_COORDS_PANEL = 3  /* fractions of the panel's whole rectangle */
};

/* Text anchor: horizontal part + vertical part, e.g. ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP. */
enum ZtgAnchor {
  ZTG_ANCHOR_LEFT = 0,
  ZTG_ANCHOR_CENTRE = 1,
  ZTG_ANCHOR_RIGHT = 2,
  ZTG_ANCHOR_BASELINE = 0,
  ZTG_ANCHOR_MIDDLE = 3,
  ZTG_ANCHOR_TOP = 6
};

enum ZtgTextRole {
  ZTG_TEXT_PLAIN = 0,  /* drawn at (x, y) */
  ZTG_TEXT_LEGEND = 1, /* a legend entry: its attribute's sample and the text, outside the plot */
  ZTG_TEXT_NOTE = 2,   /* a note line under the panels (x, y and panel are ignored) */
  ZTG_TEXT_MARK = 3    /* a small label just above the marker at (x, y), e.g. rule letters */
};

enum ZtgPanelKind {
  ZTG_PANEL_PLOT = 0,
  ZTG_PANEL_TEXT = 1 /* no axes, no frame: a table of texts */
};

enum ZtgGraphKind {
  ZTG_KIND_GENERIC = 0,
  ZTG_KIND_CONTROL_CHART = 1,
  ZTG_KIND_HISTOGRAM = 2,
  ZTG_KIND_PROBABILITY_PLOT = 3,
  ZTG_KIND_BOX_PLOT = 4,
  ZTG_KIND_PARETO = 5,
  ZTG_KIND_SCATTER = 6,
  ZTG_KIND_COMPOSITE = 7,
  ZTG_KIND_REPORT = 8,
  ZTG_KIND_CURVE = 9
};

/* Options (the descriptor's `options` bits). */
#define ZTG_OPTION_GRID 1     /* light grid lines at the ticks */
#define ZTG_OPTION_NO_FRAME 2 /* no box around the plot areas */
#define ZTG_OPTION_SHARED_X 4 /* stacked panels share the X axis: ticks and title under the last \
                               */

typedef struct ZtgAttribute {
  int32_t colour;      /* stroke and marker colour, 0xRRGGBB or ZTG_COLOUR_AUTO */
  int32_t fill_colour; /* fill of markers, bars and closed lines; AUTO: the colour */
  int32_t marker;      /* ZtgMarker, for points */
  int32_t line_style;  /* ZtgLineStyle */
  int32_t tag;         /* ZtgTag */
  int32_t bold;        /* texts: non-zero for bold */
  double width;        /* line width in points; 0 or less: the settings' width */
  double size;         /* marker diameter or font size in points; 0 or less: the settings' */
} ZtgAttribute;

typedef struct ZtgCoord {
  double x, y;
} ZtgCoord;

typedef struct ZtgPoint {
  double x, y;
  int32_t panel;     /* 0-based panel index */
  int32_t attribute; /* index into the attribute table */
  int32_t coords;    /* ZtgCoords */
  int32_t reserved;
} ZtgPoint;

/* A poly-line through coords[first .. first + count - 1]. A missing coordinate
 * breaks it into pieces. A closed line joins its ends and is filled with the
 * attribute's fill colour unless that is ZTG_COLOUR_NONE. A label (e.g.
 * "UCL = 12.3") is written at the line's right end in the plot's right margin
 * (at the top end for a vertical line). */
typedef struct ZtgLine {
  int32_t first, count;
  int32_t panel, attribute, coords;
  int32_t closed;
  const char* label; /* may be null */
} ZtgLine;

/* A filled rectangle from (x0, y0) to (x1, y1): histogram classes, Pareto bars,
 * boxes of box plots. The label is written above the bar. */
typedef struct ZtgBar {
  double x0, y0, x1, y1;
  int32_t panel, attribute, coords;
  int32_t reserved;
  const char* label; /* may be null */
} ZtgBar;

typedef struct ZtgText {
  double x, y;
  int32_t panel;
  int32_t attribute; /* or ZTG_ADDED_ATTRIBUTE */
  int32_t coords;    /* ZtgCoords */
  int32_t anchor;    /* ZtgAnchor sum */
  int32_t role;      /* ZtgTextRole */
  int32_t reserved;
  const char* text;
} ZtgText;

/* One axis. A range with max not above min (or not finite) is taken from the
 * data of the panel; an increment that gives fewer than 2 or more than 50
 * divisions is replaced by round ticks (1-2-5 rule, 4 to 6 divisions). With
 * category labels, label i is written at origin + i x step in place of ticks. */
typedef struct ZtgAxis {
  double min, max, increment;
  int32_t log;  /* non-zero: logarithmic (positive values only) */
  int32_t show; /* non-zero: drawn (the second Y axis only when shown) */
  const char* title;
  const char* const* categories;
  int32_t category_count;
  int32_t category_rows; /* 1, or 2 for labels on two alternating rows */
  double category_origin, category_step;
} ZtgAxis;

/* A panel: its rectangle in 0..1 units of the area between the graph's titles
 * and its notes (left, top measured from the top-left corner). */
typedef struct ZtgPanel {
  double left, top, width, height;
  int32_t kind; /* ZtgPanelKind */
  int32_t reserved;
  const char* title;
  ZtgAxis x, y, y2;
} ZtgPanel;

/* The layout block embedded in the descriptor. */
typedef struct ZtgLayout {
  int32_t width, height; /* canvas: pixels for PNG, points for SVG and PDF; 0: the settings' */
  const char* title;
  const char* subtitle;
  int32_t panel_count;
  int32_t reserved;
  ZtgPanel panels[ZTG_MAX_PANELS];
} ZtgLayout;

/* Settings kept in the profile (section "Graph"); the host package's two
 * settings blocks are this one block. A block whose size is 0 means defaults. */
typedef struct ZtGraphSettings {
  int32_t size; /* sizeof(ZtGraphSettings) once filled */
  int32_t width, height;
  int32_t background, foreground, grid;
  int32_t tag_colours[ZTG_TAG_COUNT];
  double title_size, label_size, tick_size; /* font sizes in points */
  double marker_size, line_width;
  char font[64]; /* font family, e.g. "DejaVu Sans" */
} ZtGraphSettings;

typedef struct ZtGraphDescriptor {
  int32_t size; /* word 1: sizeof(ZtGraphDescriptor) */
  int32_t kind; /* word 2: ZtgGraphKind */
  ZtgLayout layout;
  int32_t handle;  /* the graph kept by the component for this pane, 0 none */
  int32_t options; /* ZTG_OPTION_* bits */
  const ZtgPoint* points;
  int32_t point_count;
  const ZtgCoord* coords;
  int32_t coord_count;
  const ZtgLine* lines;
  int32_t line_count;
  const ZtgBar* bars;
  int32_t bar_count;
  const ZtgText* texts;
  int32_t text_count;
  const ZtgAttribute* attributes;
  int32_t attribute_count;
  ZtGraphSettings settings; /* filled by ReadGraphSettings */
} ZtGraphDescriptor;

/* The graph component. The number after each operation is its ordinal. */
typedef struct ZtGraph {
  void* self;
  /* Drops the kept graph with this handle; an unknown handle is ignored. */
  void (*ReleaseGraph)(void* self, int32_t handle); /* 31 */
  /* Copies and keeps the described graph; returns its handle (> 0), 0 when refused. */
  int32_t (*CreateGraph)(void* self, const ZtGraphDescriptor* descriptor); /* 4 */
  /* Stores the settings in the profile; the flag is 1. */
  void (*WriteGraphSettings)(void* self, const ZtGraphSettings* settings, int32_t flag); /* 5 */
  /* Fills the settings from the profile (defaults where absent); the flag is 0. */
  void (*ReadGraphSettings)(void* self, ZtGraphSettings* settings, int32_t flag); /* 6 */
} ZtGraph;

#endif /* ZTGRAPH_H */
