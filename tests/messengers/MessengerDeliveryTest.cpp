// One record to every receiver of every messenger, in order, whatever fails.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "messengers/MessengerDelivery.h"
#include "messengers/MessengerTransportList.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers {
namespace {

using namespace zonbode::status;
using Bytes = std::vector<std::uint8_t>;

Bytes OfficeRecord(const std::string& text) {
    return StatusPayload(kStatusCategory, true, kStatusFormat, text, "", "", "");
}

// The platform port as status delivery sees it: records what it is handed.
class RecordingTransport : public MessengerTransport {
public:
    struct Delivery {
        std::string receiver;
        std::uint32_t dwData;
        Bytes record;
    };

    std::vector<std::string> receivers;
    std::vector<Delivery> deliveries;
    std::string failingReceiver;
    bool listingFails = false;

    std::vector<std::string> Receivers() override {
        if (listingFails) {
            throw std::runtime_error("no desktop");
        }
        return receivers;
    }
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override {
        deliveries.push_back({receiver, dwData, Bytes(record.begin(), record.end())});
        if (receiver == failingReceiver) {
            throw std::runtime_error("window went away");
        }
    }
};

TEST(SendMessengerStatus, EveryReceiverGetsTheSameRecordOnceInOrder) {
    RecordingTransport transport;
    transport.receivers = {"first", "second"};
    SendMessengerStatus(transport, kStatusCategory, true, kStatusFormat, "Maandag");
    ASSERT_EQ(transport.deliveries.size(), 2u);
    EXPECT_EQ(transport.deliveries[0].receiver, "first");
    EXPECT_EQ(transport.deliveries[1].receiver, "second");
    for (const auto& delivery : transport.deliveries) {
        EXPECT_EQ(delivery.dwData, 0x547u);
        EXPECT_EQ(delivery.record, OfficeRecord("Maandag"));
    }
}

TEST(SendMessengerStatus, NoReceiverMeansNothingIsSent) {
    RecordingTransport transport;
    SendMessengerStatus(transport, kSwitchOffCategory, false, kSwitchOffFormat, "");
    EXPECT_TRUE(transport.deliveries.empty());
}

TEST(SendMessengerStatus, AFailingReceiverDoesNotStopTheOthers) {
    RecordingTransport transport;
    transport.receivers = {"a", "b", "c"};
    transport.failingReceiver = "a";
    EXPECT_NO_THROW(SendMessengerStatus(transport, kStatusCategory, true, kStatusFormat, "x"));
    ASSERT_EQ(transport.deliveries.size(), 3u);
    EXPECT_EQ(transport.deliveries[2].receiver, "c");

    transport.listingFails = true;
    EXPECT_NO_THROW(SendMessengerStatus(transport, kStatusCategory, true, kStatusFormat, "x"));
    EXPECT_EQ(transport.deliveries.size(), 3u);
}

TEST(MessengerTransportList, EveryTransportsReceiversGetTheRecordInOrder) {
    RecordingTransport copyData;
    copyData.receivers = {"a", "b"};
    RecordingTransport purple;
    purple.receivers = {"im.pidgin"};
    MessengerTransportList list({&copyData, &purple});
    SendMessengerStatus(list, kStatusCategory, true, kStatusFormat, "Maandag");
    ASSERT_EQ(copyData.deliveries.size(), 2u);
    EXPECT_EQ(copyData.deliveries[1].receiver, "b");
    ASSERT_EQ(purple.deliveries.size(), 1u);
    EXPECT_EQ(purple.deliveries[0].receiver, "im.pidgin");
    EXPECT_EQ(purple.deliveries[0].record, OfficeRecord("Maandag"));

    // One transport that cannot list its receivers leaves the other served.
    copyData.listingFails = true;
    SendMessengerStatus(list, kStatusCategory, true, kStatusFormat, "Dinsdag");
    EXPECT_EQ(copyData.deliveries.size(), 2u);
    EXPECT_EQ(purple.deliveries.size(), 2u);

    // An id the list did not give out goes nowhere.
    for (const char* stranger : {"im.pidgin", "2:im.pidgin", "x:a", "1"}) {
        list.Send(stranger, kStatusCopyDataId, OfficeRecord("x"));
    }
    EXPECT_EQ(purple.deliveries.size(), 2u);
}

}  // namespace
}  // namespace zonbode::messengers
