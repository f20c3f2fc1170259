#include "GatewaySupport.h"

namespace zonbode::gateway::testing {

RecordedApi::RecordedApi()
    : ServerProcess(ZONBODE_PYTHON, {ZONBODE_RECORDED_API, ZONBODE_RECORDED_ANSWERS}) {}

std::string RecordedApi::Url(const std::string& answer) const {
    return "http://127.0.0.1:" + std::to_string(Port()) + "/" + answer;
}

}  // namespace zonbode::gateway::testing
