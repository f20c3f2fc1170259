#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

#include "messengers/MessengerTransport.h"

// How one status record reaches every messenger: once each, in order, within one bound.
namespace zonbode::messengers {

// The longest one record's delivery holds the caller, whatever hangs.
inline constexpr std::chrono::milliseconds kRecordDeliveryBound{5000};

// Builds the record and hands it to every receiver of the transport, in order, once each,
// within kRecordDeliveryBound.
void SendMessengerStatus(MessengerTransport& transport, std::string_view category, bool enabled,
                         std::string_view format, std::string_view text1,
                         std::string_view text2 = {}, std::string_view text3 = {},
                         std::string_view text4 = {});

// The composed-status record of a day's text, handed to every receiver with the day.
void SendDayStatus(MessengerTransport& transport, std::string_view text, const DayRecord& day);

}  // namespace zonbode::messengers
