#ifndef VANT_BUFFER_H
#define VANT_BUFFER_H
/* Display buffers: an 8-bit picture with its palette that shows itself in a window. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A window of the toolkit's window layer (platform::Window::Handle()). */
typedef void* VantWindowHandle;

/* How a display buffer reaches the screen. */
typedef enum VantBlitterKind {
  VANT_BLITTER_AUTOMATIC = 0,        /* the window kinds: 5, else 4 */
  VANT_BLITTER_FULL_SCREEN_320X240 = 1,
  VANT_BLITTER_FULL_SCREEN_320X200 = 2,
  VANT_BLITTER_FULL_SCREEN_DIRECT = 3, /* straight into video memory: never available */
  VANT_BLITTER_STANDARD_DIBS = 4,    /* own bottom-up pixels, drawn through a converted copy */
  VANT_BLITTER_DIB_SECTION = 5       /* an indexed image over the buffer's own pixels */
} VantBlitterKind;

/* One colour of a buffer: blue, green, red, 0 (colour layout 6 of VantColorRemap). */
typedef struct VantBufferColor {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t zero;
} VantBufferColor;

/* Made by VantBufferOpen and changed only through the calls; callers read the fields. */
typedef struct VantBuffer {
  int32_t destination_flags; /* flags for VantToBuffer: 1 = rows stored bottom-up */
  int32_t rect_mode;         /* the VantToBufferRect mode that suits the kind */
  int32_t kind;              /* the VantBlitterKind chosen, 1 to 5 */
  int32_t full_screen;       /* 1 for the full-screen kinds */
  int32_t width;             /* pixels */
  int32_t height;            /* rows */
  int32_t pitch;             /* bytes from one row to the next: width rounded up to 4 */
  int32_t stretched;         /* 1 when the display size differs from the buffer size */
  int32_t display_width;     /* the size shown in the window */
  int32_t display_height;
  int32_t screen_colors;     /* colours the screen can show (2 to the bits per pixel, at most 24) */
  int32_t palette_entries;   /* 256, or fewer on screens of fewer colours */
  int32_t usable_colors;     /* end_usable - first_usable */
  int32_t first_usable;      /* entries below it are the screen's static colours */
  int32_t end_usable;        /* entries from it up are the screen's static colours */
  VantBufferColor colors[256];
  int32_t color_layout;      /* 6: the layout flags of colors for VantColorRemap */
  int32_t full_repaint_due;  /* the next blit draws the whole buffer (a new palette) */
  int32_t shown;             /* set by the first blit and by every new palette */
  uint8_t* pixels;           /* first pixel of row 0 of the buffer */
  int32_t focused;           /* full-screen kinds: 1 while the full-screen view is active */
  VantWindowHandle window;   /* the caller's window */
  struct VantBufferSystem* system; /* the window-system objects behind the buffer */
} VantBuffer;

/* Room that VantBufferString needs, terminating zero included. */
#define VANT_BUFFER_STRING_SIZE 32

/* Makes a buffer of width x height pixels for the window, shown at display_width x
   display_height (0: the buffer's size). kind: a VantBlitterKind in the low 16 bits. Null when
   the kind is not available, a size is not positive, or anything fails. */
VantBuffer* VantBufferOpen(VantWindowHandle window, int32_t kind, int32_t width, int32_t height,
                           int32_t display_width, int32_t display_height);
void VantBufferClose(VantBuffer* buffer);
/* Puts the source rectangle of the buffer on the screen, the buffer's top-left corner at (x, y)
   of the window's client area. The rectangle is clipped to the buffer. context: the window's
   paint context or null; both draw into the window. 256 when the whole buffer was drawn because
   a new palette made it due, else 0. */
int32_t VantBufferBlit(VantBuffer* buffer, void* context, int32_t x, int32_t y, int32_t source_x,
                       int32_t source_y, int32_t width, int32_t height);
/* Fills every pixel of the buffer with the colour index. */
void VantBufferClear(VantBuffer* buffer, int32_t color);
/* Takes a new palette of 256 entries into the usable colours. layout_flags as for
   VantColorRemap: 3-byte red, green, blue entries by default; 4: 4-byte entries (with 8 the
   components start at the second byte); 2: red and blue swapped; 1: 16-bit components. */
void VantBufferNewPalette(VantBuffer* buffer, const void* palette, int32_t layout_flags);
/* Makes the window show the buffer's palette again; the number of palette entries in use, 0 for
   the full-screen kinds. */
int32_t VantBufferSetPalette(VantBuffer* buffer);
/* Nonzero while the buffer's window (or its full-screen view) receives the keys. */
int32_t VantBufferFocused(VantBuffer* buffer);
/* Writes the name of a kind (kinds above 5 read as 5) into text, which holds at least
   VANT_BUFFER_STRING_SIZE bytes; returns text. */
char* VantBufferString(char* text, int32_t kind);
/* Display modes 1 to 4 (640x400, 640x480, 800x600, 1024x768) are never set: the screen keeps
   its mode, and the result is 0. Mode 0 (the desktop's own mode) gives 1. */
int32_t VantSetSystemRes(int32_t mode);

#ifdef __cplusplus
}
#endif

#endif /* VANT_BUFFER_H */
