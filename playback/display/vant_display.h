/* The display buffers of libvant_display: pixels that a window of the toolkit's window layer
 * shows, drawn into by VantToBuffer. For programs with windows (pkg-config vant-display, which
 * brings the window system); the playback calls themselves are in vant.h.
 */
#ifndef VANT_DISPLAY_H
#define VANT_DISPLAY_H

#include "playback/vant.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ==== Display buffers ==================================================================== */

/* How a display buffer reaches the screen. */
typedef enum VantBlitterKind {
  VANT_BLITTER_AUTOMATIC = 0,            /* the window kinds: 5, else 4 */
  VANT_BLITTER_FULL_SCREEN_320X240 = 1,  /* a full-screen view of a 320 x 240 display mode */
  VANT_BLITTER_FULL_SCREEN_320X200 = 2,  /* a full-screen view of a 320 x 200 display mode */
  VANT_BLITTER_FULL_SCREEN_DIRECT = 3,   /* 320 x 200 display memory, shown by the display itself
                                          * at every refresh: no rectangles, no blits */
  VANT_BLITTER_STANDARD_DIBS = 4,        /* own bottom-up pixels, drawn through a converted copy */
  VANT_BLITTER_DIB_SECTION = 5           /* an indexed image over the buffer's own pixels */
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
  int32_t destinationFlags;  /* flags for VantToBuffer: 1 = rows stored bottom-up */
  int32_t rectMode;          /* the VantToBufferRect mode that suits the kind */
  int32_t kind;              /* the VantBlitterKind chosen, 1 to 5 */
  int32_t fullScreen;        /* 1 for the full-screen kinds */
  int32_t width;             /* pixels */
  int32_t height;            /* rows */
  int32_t pitch;             /* bytes from one row to the next: width rounded up to 4 */
  int32_t stretched;         /* 1 when the display size differs from the buffer size */
  int32_t displayWidth;      /* the size shown in the window */
  int32_t displayHeight;
  int32_t screenColors;      /* colours the screen shows: 2 to the bits per pixel, at most 24 */
  int32_t paletteEntries;    /* 256, or fewer on screens of fewer colours */
  int32_t usableColors;      /* endUsable - firstUsable */
  int32_t firstUsable;       /* entries below it are the screen's static colours */
  int32_t endUsable;         /* entries from it up are the screen's static colours */
  VantBufferColor colors[256];
  int32_t colorLayout;       /* 6: the layout flags of colors for VantColorRemap */
  int32_t fullRepaintDue;    /* the next blit draws the whole buffer (after a new palette) */
  int32_t shown;             /* set by the first blit and by every new palette */
  uint8_t* pixels;           /* first pixel of row 0 of the buffer */
  int32_t focused;           /* full-screen kinds: 1 while the full-screen view is active */
  VantWindowHandle window;   /* the caller's window */
  struct VantBufferSystem* system; /* the window-system objects behind the buffer */
} VantBuffer;

/* Room that VantBufferString needs, terminating zero included. */
#define VANT_BUFFER_STRING_SIZE 32

/* Makes a buffer of width x height pixels for the window, shown at displayWidth x displayHeight
 * (0: the buffer's size). kind: a VantBlitterKind in the low 16 bits. Null when the kind is not
 * available, a size is not positive or above 32767, or anything fails. The full-screen kinds
 * minimize the window and show the picture over the whole screen until the buffer is closed. */
VANT_API VantBuffer* VantBufferOpen(VantWindowHandle window, int32_t kind, int32_t width,
                                    int32_t height, int32_t displayWidth, int32_t displayHeight);
VANT_API void VantBufferClose(VantBuffer* buffer);

/* Puts the source rectangle of the buffer on the screen, the buffer's top-left corner at (x, y)
 * of the window's client area; the rectangle is clipped to the buffer. context: the window's
 * paint context or null; both draw into the window. Returns 256 when the whole buffer was drawn
 * because a new palette made it due, else 0. */
VANT_API int32_t VantBufferBlit(VantBuffer* buffer, void* context, int32_t x, int32_t y,
                                int32_t sourceX, int32_t sourceY, int32_t width, int32_t height);

/* Fills every pixel of the buffer with the colour index (the low 8 bits of color). */
VANT_API void VantBufferClear(VantBuffer* buffer, int32_t color);

/* Takes entries firstUsable to endUsable - 1 of a 256-entry palette into the colours.
 * layoutFlags as for VantColorRemap: 3-byte red, green, blue entries by default; 4: 4-byte
 * entries (with 8 as well the components start at the second byte); 2: red and blue swapped;
 * 1: 16-bit components. */
VANT_API void VantBufferNewPalette(VantBuffer* buffer, const void* palette, int32_t layoutFlags);

/* Makes the window show the buffer's palette again (its owner is asked to repaint once the
 * buffer has been shown); the number of palette entries, 0 for the full-screen kinds. */
VANT_API int32_t VantBufferSetPalette(VantBuffer* buffer);

/* Nonzero while the buffer's window (or its full-screen view) receives the keys. */
VANT_API int32_t VantBufferFocused(VantBuffer* buffer);

/* Writes the name of a kind (kinds above 5 read as 5) into text, which holds at least
 * VANT_BUFFER_STRING_SIZE bytes; returns text. */
VANT_API char* VantBufferString(char* text, int32_t kind);

/* The screen keeps the desktop's mode: modes 1 to 4 (640x400, 640x480, 800x600, 1024x768) give
 * 0 and change nothing; mode 0 (back to the desktop's mode) gives 1. */
VANT_API int32_t VantSetSystemRes(int32_t mode);

#ifdef __cplusplus
}
#endif

#endif /* VANT_DISPLAY_H */
