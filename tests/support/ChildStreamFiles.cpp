#include "ChildStreamFiles.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

namespace zonbode::testing {
namespace {

namespace fs = std::filesystem;

// Unique across the test processes that run at once, and across the children of one.
fs::path UniqueFile(const char* role) {
    static const unsigned int run = std::random_device{}();
    static std::atomic<int> counter{0};
    return fs::temp_directory_path() /
           ("zonbode-child-" + std::to_string(run) + "-" + std::to_string(counter++) + "-" + role);
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

ChildStreamFiles::ChildStreamFiles(const std::string& input)
    : in_(UniqueFile("in")), out_(UniqueFile("out")), err_(UniqueFile("err")) {
    std::ofstream in(in_, std::ios::binary);
    in.write(input.data(), static_cast<std::streamsize>(input.size()));
}

ChildStreamFiles::~ChildStreamFiles() {
    std::error_code ignored;
    for (const fs::path* path : {&in_, &out_, &err_}) {
        fs::remove(*path, ignored);
    }
}

ChildResult ChildStreamFiles::Collect(int exitCode) const {
    ChildResult result;
    result.exitCode = exitCode;
    result.out = ReadWhole(out_);
    result.err = ReadWhole(err_);
    return result;
}

}  // namespace zonbode::testing
