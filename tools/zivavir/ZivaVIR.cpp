// ZivaVIR stand-in: the clip player the clipboard viewer starts by command
// line. It only reports what it was asked to play, so that a run without the
// real player shows the request on standard error.
#include <cstdio>

int main(int argc, char** argv) {
  std::fprintf(stderr, "ZivaVIR:");
  for (int i = 1; i < argc; ++i) std::fprintf(stderr, " \"%s\"", argv[i]);
  std::fprintf(stderr, "\n");
  return 0;
}
