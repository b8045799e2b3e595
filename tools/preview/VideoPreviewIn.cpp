// VideoPreviewIn: a live picture of the board's video input.
#include "PreviewMain.h"

int main(int argc, char** argv) {
  return quellor::preview::RunPreview(quellor::preview::PreviewSource::Input, argc, argv);
}
