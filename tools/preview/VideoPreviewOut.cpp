// VideoPreviewOut: a live picture of what the board's video output shows.
#include "PreviewMain.h"

int main(int argc, char** argv) {
  return quellor::preview::RunPreview(quellor::preview::PreviewSource::Output, argc, argv);
}
