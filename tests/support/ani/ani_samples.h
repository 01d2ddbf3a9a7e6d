// Writer-made ANI files covering the format's variety in few bytes: seeds for the
// fuzzer and anything else that wants typical files.
#pragma once
#include <string>
#include <utility>
#include <vector>
#include "ani_writer.h"

namespace fxtest::ani {

std::vector<std::pair<std::string, Bytes>> SampleFiles();

}  // namespace fxtest::ani
