// vantplw: plays .vnt videos in a window.
#include "player/player_main.h"

int main(int argc, char** argv) { return PlayerWinMain(argc, argv); }
