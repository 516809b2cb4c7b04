/* The leanest user of the embeddable library: opens a .vnt video and decodes its first frame.
 * The speed benchmark measures its resident memory. Usage: open_one_frame VIDEO */
#include <stdlib.h>

#include "playback/vant.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  VantVideo* video = VantOpen(argv[1], 0, VANT_EXTRA_BUFFER_AUTO);
  if (video == NULL) return 1;
  const size_t size = (size_t)video->header.width * video->header.height;
  unsigned char* pixels = malloc(size == 0 ? 1 : size);
  int decoded = pixels != NULL &&
                VantToBuffer(video, 0, 0, (int32_t)video->header.width, (int32_t)video->header.height, pixels, 0);
  if (decoded) VantDoFrame(video);
  free(pixels);
  VantClose(video);
  return decoded ? 0 : 1;
}
