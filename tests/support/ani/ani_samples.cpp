#include "ani_samples.h"

namespace fxtest::ani {

std::vector<std::pair<std::string, Bytes>> SampleFiles() {
    auto small = [](uint32_t color, int bpp = 32, int size = 8) {
        return Icon(IconFile({IconEntry{color, size, bpp}}));
    };
    std::vector<std::pair<std::string, Bytes>> files;
    files.emplace_back("plain", Riff({Anih(3, 3, 6), List("fram", {small(kRed), small(kGreen), small(kBlue)})}));
    files.emplace_back("seq and rate", Riff({Anih(2, 4, 6, 3), Seq({0, 1, 1, 0}), Rate({1, 2, 3, 4}),
                                             List("fram", {small(kRed, 8), small(kGreen, 4)})}));
    files.emplace_back("cursor frames",
                       Riff({Anih(2, 2, 6), List("fram", {Icon(IconFile({IconEntry{kRed, 8}}, 2)),
                                                          Icon(IconFile({IconEntry{kGreen, 8, 1}}, 2))})}));
    files.emplace_back("several sizes",
                       Riff({Anih(1, 1, 6),
                             List("fram", {Icon(IconFile({{kRed, 16, 4}, {kGreen, 32, 24}, {kBlue, 8}}))})}));
    files.emplace_back("info and odd chunks",
                       Riff({List("INFO", {Raw("INAM", {'x', 0, 'y'})}), Anih(1, 2, 0), Raw("odd ", {1, 2, 3}),
                             List("fram", {small(kYellow, 1), Raw("JUNK", {9})}), Rate({0, 7})}));
    return files;
}

}  // namespace fxtest::ani
