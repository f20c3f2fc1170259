#include "ProcessSample.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace zonbode::bench {

ProcessSample SampleThisProcess() {
    ProcessSample sample;
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        if (name == "VmRSS:") {
            status >> sample.residentBytes;
            sample.residentBytes *= 1024;  // the file counts kB
        } else if (name == "Threads:") {
            status >> sample.threads;
        }
        std::getline(status, name);
    }
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++sample.handles;
    }
    --sample.handles;  // the directory iterator's own descriptor
    return sample;
}

}  // namespace zonbode::bench
