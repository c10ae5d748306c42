// The library's four messages to the user, shown in a modal warning box.
#pragma once

#include <cstdint>

namespace korvex {

enum class MessageId : uint32_t {
    OpenDeviceFirst = 1,
    TooManyDevices = 2,
    OpenDeviceError = 3,
    DeviceNumberBelowOne = 4,
};

// The text of a message, exactly as the user sees it.
const char* MessageText(MessageId id);

// Shows the message with the library's file name as caption and returns once it is dismissed.
void ShowMessage(MessageId id);

}  // namespace korvex
