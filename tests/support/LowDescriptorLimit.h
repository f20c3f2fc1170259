#pragma once

// POSIX only: the process's soft descriptor limit lowered to a few above those open now, and
// put back at the end, for tests of what a server does when no descriptor is left.
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace zonbode::testing {

class LowDescriptorLimit {
public:
    LowDescriptorLimit() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit low = saved_;
        const int probe = socket(AF_INET, SOCK_DGRAM, 0);
        close(probe);
        low.rlim_cur = static_cast<rlim_t>(probe) + 8;
        ok_ = probe >= 0 && setrlimit(RLIMIT_NOFILE, &low) == 0;
    }
    ~LowDescriptorLimit() {
        TakeNoMore();
        setrlimit(RLIMIT_NOFILE, &saved_);
    }
    LowDescriptorLimit(const LowDescriptorLimit&) = delete;
    LowDescriptorLimit& operator=(const LowDescriptorLimit&) = delete;
    bool Ok() const { return ok_; }

    // Takes every descriptor left, with sockets of its own.
    void TakeAll() {
        for (int fd; (fd = socket(AF_INET, SOCK_DGRAM, 0)) >= 0;) {
            taken_.push_back(fd);
        }
    }
    // Gives them all back.
    void TakeNoMore() {
        for (int fd : taken_) {
            close(fd);
        }
        taken_.clear();
    }

private:
    rlimit saved_{};
    bool ok_ = false;
    std::vector<int> taken_;
};

}  // namespace zonbode::testing
