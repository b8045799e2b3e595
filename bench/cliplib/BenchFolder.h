// Where the clip benchmarks put their files: a folder on the real disk
// beside the benchmark program (QUELLOR_BENCH_DIR overrides), so that
// unbuffered transfers reach the disk rather than a memory file system.
#pragma once

#include <string>

namespace quellor::bench {

std::string BenchFolder();

}  // namespace quellor::bench
