/* The playback interface of libvant: open a .vnt video, step through its frames and read them.
 *
 * The header of the headless library (pkg-config vant): no window system is needed behind it.
 * The display buffers, for programs with windows, are in vant_display.h (libvant_display,
 * pkg-config vant-display). It is plain C so that every program (and any other language with
 * a C interface) can use it. Sections:
 *   1. File layout          VideoFileHeader
 *   2. Open-video handle    VantVideo, VantOpenFlags, VantOpen, VantClose
 *   3. Process settings     VantFrameRate, VantSimulate
 *   4. Statistics           VantSummaryInfo
 *   5. Memory               AlignedAlloc, AlignedFree
 *   7. Playing frames       VantToBuffer, VantDoFrame, VantToBufferRect, VantNextFrame, VantWait,
 *                           VantGoto, VantColorRemap, VantColorTrans, VantSummary, VantToScreen
 *   8. Sound                VantSoundUseWin, VantSoundCheck, VantSoundInTrack, VantSoundOnOff,
 *                           VantVolumePan, VantGetTrackData, VantSoundUseDirectSound,
 *                           SetDirectSoundHWND, TimerFunc, donemarker
 * (Section 6, the display buffers, is vant_display.h.) Every section gives its types first,
 * then the calls.
 */
#ifndef VANT_H
#define VANT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Marks the calls that the shared library exports; everything else in it stays hidden. */
#if defined(__GNUC__)
#define VANT_API __attribute__((visibility("default")))
#else
#define VANT_API
#endif

/* ==== 1. File layout ======================================================================== */

/* Size of the header at the start of every .vnt file (26 little-endian 32-bit words). */
#define VANT_HEADER_SIZE 104

/* The header of a .vnt file as it is held in memory. The file stores it field by field
 * little-endian; never read or write this struct as a block of bytes. */
typedef struct VideoFileHeader {
  char magic[4];            /* "VNT2" */
  uint32_t width;           /* pixels */
  uint32_t height;          /* rows as stored (before height scaling) */
  uint32_t frames;          /* frame count, the ring frame not counted */
  int32_t frameRate;        /* > 0 ms per frame; < 0 minus the period in 10 us units; 0 no pacing */
  uint32_t flags;           /* bit 0 ring frame, bit 1 interlaced, bit 2 doubled */
  uint32_t audioSizes[7];   /* per track: largest uncompressed byte count of one audio chunk */
  uint32_t treeDataSize;    /* bytes from the end of the frame-type table to the first frame */
  uint32_t treeSizes[4];    /* decoder memory of each of the four trees */
  uint32_t soundRates[7];   /* per track: sound rate word (0 for no track) */
  uint32_t reserved;
} VideoFileHeader;

/* ==== 2. Open-video handle ================================================================== */

struct DecoderTrees;          /* the decoder's tables, built from the file's tree data */
struct DestinationDescriptor; /* where frames are decoded to */
struct SoundTrack;            /* one open sound track */

typedef struct VantRect {
  int32_t left, top, width, height;
} VantRect;

/* The open-video handle. Callers read header, paletteChanged, palette and currentFrame directly;
 * everything else changes only through the calls. Callers that pass their own memory for it
 * (VANT_OPEN_CALLER_MEMORY) give at least VANT_VIDEO_RECORD_SIZE bytes, aligned like the record. */
typedef struct VantVideo {
  /* -- read by callers -- */
  VideoFileHeader header;      /* frame rate, height scaling and height as adjusted by VantOpen */
  uint32_t paletteChanged;     /* the located frame brought a palette the caller has not taken */
  uint8_t palette[256][3];     /* red, green, blue, 8 bits each */
  uint32_t paletteReserved;    /* cleared with the palette */
  uint32_t reserved1;
  uint32_t currentFrame;       /* 0-based index of the located frame */

  /* -- private: change only through the calls -- */
  uint32_t currentFrameSize;   /* bytes of the current frame */
  uint32_t chunksBeforeVideo;  /* bytes of palette and audio chunks before the video chunk */
  VantRect lastRect;           /* last rectangle returned by the rectangle query */
  uint32_t keptFlags;          /* open flags as kept (tracks opened, height scaling, preload) */
  int32_t destinationLeft, destinationTop;
  uint32_t readFailed;         /* a read came back short; stays set until close */
  uint32_t reserved2;
  int fileHandle;              /* POSIX file descriptor, -1 when there is none (preloaded) */
  uint64_t frameBufferSize;    /* bytes of frame data the frame buffer holds */
  struct DecoderTrees* treeBlock;
  struct DestinationDescriptor* destination;
  uint32_t destinationSize;
  uint32_t colorTableDirty;    /* a palette change made the 16-bit colour table stale */
  uint16_t* colorTable;        /* 256 16-bit pixels inside the destination, or null */
  uint64_t firstFrameOffset;   /* file position of frame 0 */
  uint8_t* frameBuffer;
  uint8_t* currentFrameData;   /* where the current frame starts in memory */
  int32_t lastPaletteFrame;    /* frame whose palette the caller took last, -1 after open */
  uint32_t* frameSizes;        /* stored-frame sizes; this allocation also holds frameTypes */
  uint8_t* frameTypes;         /* stored-frame type bytes */
  uint8_t* frameStart;         /* first chunk of the current frame */
  uint8_t* audioChunks[7];     /* the current frame's audio chunk of each track, or null */
  uint8_t* videoChunk;         /* the current frame's video data */
  uint32_t rectState;
  VantRect changedRect;
  uint32_t frameDue;
  uint64_t nextFrameTime;      /* 10 us units; all ones: not started */
  uint32_t framePeriod;        /* 10 us units; 0: as fast as possible */
  struct SoundTrack* soundTracks[7];
  int32_t pacingTrack;         /* track that paces playback, or -1 */
  uint32_t soundWait;
  uint32_t soundOff;
  uint8_t* extraBuffer;        /* the read-ahead ring, or null */
  uint8_t* readEnd;            /* end of valid ring data before it wraps */
  uint8_t* readPointer;
  uint8_t* writePointer;
  uint64_t fill;               /* ring bytes read and not yet handed out */
  uint64_t extraBufferSize;    /* usable ring size */
  uint64_t readPosition;       /* file position of the byte at the read pointer */
  uint64_t foregroundBytes;
  uint32_t foregroundMs;
  uint64_t backgroundBytes;
  uint32_t backgroundMs;
  uint64_t highestFill;
  uint64_t memoryInUse;        /* starts at the record's own size */
  uint64_t frameStartTime;     /* millisecond clock; 0 when not running */
  uint64_t decompressStartTime;
  uint64_t blitStartTime;
  uint64_t playbackStartTime;
  uint32_t openTime;           /* ms that VantOpen took */
  uint32_t openReadTime;       /* ms of reading inside VantOpen */
  uint32_t framesPlayed;
  uint32_t framesSkipped;
  uint32_t blitMs;
  uint32_t decompressMs;
  uint32_t slowestTime, secondSlowestTime;
  uint32_t slowestFrame, secondSlowestFrame; /* 1-based; 0 for none */
  uint32_t averageFrameSize;
  uint64_t peakMemory;
  uint32_t simulatedReadRate;  /* bytes per second, 0 for none */
  uint64_t highestRate;        /* largest sum of frame sizes over one second of frames */
  uint32_t highestRateFrame;   /* its first frame, 0-based */

  /* -- private, beyond the fields above -- */
  uint32_t storedFrames;       /* frames in the tables: the frame count plus the ring frame */
  uint64_t totalFrameBytes;    /* sum of all stored-frame sizes */
  uint64_t heldFrameBytes;     /* frame bytes the file holds (fewer when it is cut short) */
  uint64_t treeBlockSize;      /* bytes allocated for treeBlock */
  void* clock;                 /* what the video measures and waits for time with */
  void* audio;                 /* the sound back end and open tracks the video's tracks join */
} VantVideo;

/* Bytes a caller must give for VANT_OPEN_CALLER_MEMORY. */
#define VANT_VIDEO_RECORD_SIZE (sizeof(VantVideo))
VANT_API size_t VantVideoRecordSize(void);

/* VantOpenFlags: the second argument of VantOpen. Other bits are ignored and kept. */
enum VantOpenFlags {
  VANT_OPEN_PAN_CONTROL = 0x20,       /* sound buffers with pan control */
  VANT_OPEN_VOLUME_CONTROL = 0x40,    /* sound buffers with volume control */
  VANT_OPEN_USE_FRAME_RATE = 0x80,    /* frame rate from VantFrameRate instead of the file's */
  VANT_OPEN_FILL_BUFFER = 0x100,      /* fill the read-ahead ring before VantOpen returns */
  VANT_OPEN_PRELOAD = 0x200,          /* read all frames into memory and close the file */
  VANT_OPEN_NEVER_SKIP = 0x400,       /* decode late frames all the same */
  VANT_OPEN_SIMULATE_READ = 0x800,    /* read no faster than VantSimulate's rate */
  VANT_OPEN_FILE_HANDLE = 0x1000,     /* the source is an open file descriptor */
  VANT_OPEN_TRACK_0 = 0x2000,         /* open sound track t: VANT_OPEN_TRACK_0 << t */
  VANT_OPEN_ALL_TRACKS = 0xFE000,
  VANT_OPEN_INTERLACED = 0x100000,    /* force interlaced height scaling */
  VANT_OPEN_DOUBLED = 0x200000,       /* force doubled height; with INTERLACED: force none */
  VANT_OPEN_CALLER_MEMORY = 0x2000000 /* the source is caller memory for the record */
};

/* Extra buffer size that asks VantOpen to choose the read-ahead ring's size. */
#define VANT_EXTRA_BUFFER_AUTO 0xFFFFFFFFu

/* Opens a video. The source is, by flags:
 *   none of the two below   a file name (const char*)
 *   VANT_OPEN_FILE_HANDLE   an open, seekable file descriptor, passed with VantFileHandle(fd) (0 is
 *                           a valid descriptor here); reading starts at its current position and
 *                           the descriptor is never closed
 *   VANT_OPEN_CALLER_MEMORY writable memory for the record, holding the file name (a C string), or
 *                           with VANT_OPEN_FILE_HANDLE the descriptor in its first 32-bit word
 *                           (VantSetCallerMemoryHandle)
 * extraBufferSize is the read-ahead ring in bytes, VANT_EXTRA_BUFFER_AUTO to choose. Returns the
 * handle, or null when the file cannot be opened or is not a valid .vnt file. */
VANT_API VantVideo* VantOpen(const void* source, uint32_t flags, uint32_t extraBufferSize);

/* Closes the video and frees what it holds; a caller's descriptor stays open. Null is ignored. */
VANT_API void VantClose(VantVideo* video);

static inline const void* VantFileHandle(int fd) {
  return (const void*)(intptr_t)fd;
}

static inline void VantSetCallerMemoryHandle(void* memory, int fd) {
  int32_t word = (int32_t)fd;
  unsigned char* out = (unsigned char*)memory;
  const unsigned char* in = (const unsigned char*)&word;
  for (int i = 0; i < 4; ++i) out[i] = in[i];
}

/* ==== 3. Process settings =================================================================== */

/* n > 0 frames per second is stored as -(100000 / n); 0 or negative values are stored as given.
 * VantOpen uses it under VANT_OPEN_USE_FRAME_RATE. Returns the stored value. */
VANT_API int32_t VantFrameRate(int32_t rate);

/* Read rate in bytes per second that VantOpen simulates under VANT_OPEN_SIMULATE_READ. */
VANT_API uint32_t VantSimulate(uint32_t bytesPerSecond);

/* ==== 4. Statistics ========================================================================= */

/* What VantSummary fills: times in milliseconds, frame numbers 1-based. */
typedef struct VantSummaryInfo {
  uint32_t totalTime;
  uint32_t framePeriod;        /* 10 us units, 0 = as fast as possible */
  uint32_t openTime;
  uint32_t framesPlayed;
  uint32_t framesSkipped;
  uint32_t soundSkips;
  uint32_t blitTime;
  uint32_t readTime;
  uint32_t decompressTime;
  uint32_t backgroundReadTime;
  uint32_t readSpeed;          /* bytes per second */
  uint32_t slowestFrameTime;
  uint32_t secondSlowestFrameTime;
  uint32_t slowestFrame;
  uint32_t secondSlowestFrame;
  uint32_t averageFrameSize;
  uint32_t highestRate;        /* bytes over one second of frames */
  uint32_t highestRateFrame;
  uint32_t peakMemory;
  uint32_t extraBufferTotal;
  uint32_t extraBufferHighest;
} VantSummaryInfo;

/* ==== 5. Memory ============================================================================= */

/* The one allocator of the library and the tools: 16-byte-aligned blocks. A size of 0 or
 * 0xFFFFFFFF gives null. */
VANT_API void* AlignedAlloc(size_t size);
VANT_API void AlignedFree(void* block);

/* ==== 7. Playing frames ==================================================================== */

/* A video is played with a fixed sequence of calls:
 *   VantToBuffer                 once, or whenever the destination changes
 *   for every frame:
 *     VantColorRemap/ColorTrans  when paletteChanged is set and the caller maps colours
 *     VantDoFrame                decodes the current frame into the destination
 *     VantToBufferRect           until it returns 0: the rectangles the frame changed
 *     VantNextFrame              steps to the next frame (past the last one it starts again)
 *     VantWait                   until it returns 0: the next frame is due
 *   VantSummary                  the statistics
 * Every call does nothing and returns 0 when the video is null. */

/* VantToBuffer flags. */
#define VANT_BUFFER_BOTTOM_UP 0x1u     /* rows stored last row first */
#define VANT_BUFFER_16_BIT 0x80000000u /* 16-bit pixels; the top byte chooses the format: */
#define VANT_BUFFER_RGB555 0x80000000u /*   5-5-5 */
#define VANT_BUFFER_RGB565 0xA0000000u /*   5-6-5 (also 0xC0 and 0xE0 in the top byte) */

/* Makes the decoder draw into a caller's buffer: the picture's top-left corner at (left, top),
 * rows `pitch` bytes apart, `height` rows in the buffer. Height-scaled videos take twice their
 * coded rows (header.height already counts them). A null buffer releases the destination.
 * Returns 1 when the destination is set; 0 when it was released or refused: the picture does
 * not fit in the buffer, or memory ran out. Without a destination VantDoFrame decodes nothing.
 * 16-bit output takes its colours from the palette, rebuilt before every frame once the video
 * has brought a palette. */
VANT_API int32_t VantToBuffer(VantVideo* video, int32_t left, int32_t top, int32_t pitch,
                              int32_t height, void* buffer, uint32_t flags);

/* Writing straight into a banked screen needs video memory this system does not give: the call
 * exists so that callers link, releases any destination and returns 0. */
VANT_API int32_t VantToScreen(VantVideo* video, int32_t left, int32_t top, int32_t pitch,
                              void* screen, void* bankSelect, uint32_t flags);

/* Decodes the current frame into the destination. Returns 1 when the frame was late for its
 * sound (it is then skipped and counted, unless the video was opened with
 * VANT_OPEN_NEVER_SKIP); 0 otherwise. Without a sound track that paces the video no frame is
 * ever late. */
VANT_API int32_t VantDoFrame(VantVideo* video);

/* VantToBufferRect modes. */
enum VantRectMode {
  VANT_RECT_MERGE = 0,      /* neighbouring rectangles merged while at most 25 % of the box is waste */
  VANT_RECT_BOUNDING = 1,   /* one box around every change */
  VANT_RECT_NONE = 2,       /* no rectangles */
  VANT_RECT_BOUNDING_END = 3 /* like 1, then one all-zero rectangle */
};

/* The next rectangle that the last VantDoFrame changed, in buffer coordinates, in
 * video->lastRect. Returns 1 with a rectangle, 0 when there are no more. A frame that changed
 * nothing but brought a palette gives one all-zero rectangle. */
VANT_API int32_t VantToBufferRect(VantVideo* video, int32_t mode);

/* Steps to the next frame and reads it. Returns 1. */
VANT_API int32_t VantNextFrame(VantVideo* video);

/* Goes to frame `frame`, 1-based (0 and below mean the first frame, numbers past the last
 * frame the last one). Going to the current frame reads nothing. Returns 1. */
VANT_API int32_t VantGoto(VantVideo* video, int32_t frame);

/* 1 while the caller should keep waiting for the next frame (reading ahead meanwhile), 0 when
 * it is due. Late callers are never made to catch up more than one frame. */
VANT_API int32_t VantWait(VantVideo* video);

/* VantColorRemap layout flags of the target palette (default: 3-byte red, green, blue). */
#define VANT_COLORS_16_BIT 0x1     /* 16-bit components; their first byte counts */
#define VANT_COLORS_BGR 0x2        /* blue first, red last */
#define VANT_COLORS_4_BYTES 0x4    /* 4-byte entries */
#define VANT_COLORS_SKIP_FIRST 0x8 /* with VANT_COLORS_4_BYTES: components start at the second byte */

/* Makes decoding give, for every colour of the video's palette, the index of the nearest colour
 * among the first `count` entries (at most 256) of a target palette. Ties go to the entry with
 * the same index (modulo count), then to the nearest after it. Returns 1 when the mapping is
 * in place, 0 for no target. */
VANT_API int32_t VantColorRemap(VantVideo* video, const void* palette, int32_t count, int32_t flags);

/* Makes decoding give table[i] for every colour index i of the file. Returns 1 when the mapping
 * is in place. */
VANT_API int32_t VantColorTrans(VantVideo* video, const uint8_t table[256]);

/* Fills the statistics of the playback so far. Returns 1. */
VANT_API int32_t VantSummary(VantVideo* video, VantSummaryInfo* info);
/* ==== 8. Sound ============================================================================= */

/* A window of the toolkit's window layer (platform::Window::Handle()). */
typedef void* VantWindowHandle;

/* Sound tracks open with the video (VANT_OPEN_TRACK_0 << t). Each frame's sound goes into a ring
 * per track that a sound back end plays, fed whenever a playback call runs; the first track that
 * opens paces the video: VantWait waits for its sound and VantDoFrame calls a frame late when
 * the sound has played half a second past it. Without an open track the clock paces. */

/* Installs the wave-out back end unless a back end is installed already. 1 when it was
 * installed, 0 when one was there. VantOpen installs it when none is. */
VANT_API int32_t VantSoundUseWin(void);

/* Installs the stream back end unless a back end is installed already: each track then plays
 * through a looping buffer that a timer thread refills every 31 ms. device: a sound device of
 * the toolkit's stream layer (platform::StreamDevice, which the caller keeps), or null for one
 * made when the first track opens. 1 when it was installed, 0 when one was there (the device
 * is then not taken). */
VANT_API int32_t VantSoundUseDirectSound(void* device);

/* Gives the stream back end's device the window that its sound belongs to. */
VANT_API void SetDirectSoundHWND(VantWindowHandle window);

/* The stream back end's timer callbacks: the periodic refill (it reads none of its arguments),
 * and the one-shot mark that a queued block (the third argument) has played. */
VANT_API void TimerFunc(uint32_t timerId, uint32_t message, uintptr_t user, uintptr_t reserved1,
                       uintptr_t reserved2);
VANT_API void donemarker(uint32_t timerId, uint32_t message, uintptr_t block, uintptr_t reserved1,
                        uintptr_t reserved2);

/* Feeds the sound back end (when any track is open). Callers run it from idle loops. */
VANT_API void VantSoundCheck(void);

/* 1 when any track asked for by trackBits (VANT_OPEN_TRACK_0 << t) is present with a nonzero
 * sample rate in the header; else 0 (also for a null video). */
VANT_API int32_t VantSoundInTrack(const VantVideo* video, uint32_t trackBits);

/* Turns the video's sound off (0) or on again (nonzero). Off closes the sound devices and drops
 * the queued sound, and the clock paces; on reopens them, and mid-video puts silence ahead so
 * that the sound keeps its place. 0 for a null video, a video without an open track, or when a
 * device could not be opened again; else 1. */
VANT_API int32_t VantSoundOnOff(VantVideo* video, int32_t on);

/* Sets volume and balance of each open track asked for by trackBits: volume 0 to 0x10000, pan 0
 * (left) to 0x10000 (right), 0x8000 the middle; larger values are limited. 1 when a track took
 * it, else 0. */
VANT_API int32_t VantVolumePan(VantVideo* video, uint32_t trackBits, uint32_t volume, uint32_t pan);

/* Decodes the current frame's sound of the lowest track asked for by trackBits into buffer and
 * returns its byte count: 0 when the track has no sound in this frame, for a null video or after
 * a failed read. At most header.audioSizes[t] bytes are written, so a buffer of that size
 * always holds the result. */
VANT_API uint32_t VantGetTrackData(VantVideo* video, void* buffer, uint32_t trackBits);

#ifdef __cplusplus
}
#endif

#endif /* VANT_H */
