#include "exports/messages.h"

#include "platform/message_box.h"
#include "platform/module_name.h"

namespace korvex {

const char* MessageText(MessageId id) {
    switch (id) {
        case MessageId::OpenDeviceFirst: return "Please open device first!";
        case MessageId::TooManyDevices: return "Too many device!";
        case MessageId::OpenDeviceError: return "Open device error!";
        case MessageId::DeviceNumberBelowOne: return "The device num can't smaller than 1";
    }
    return "";
}

void ShowMessage(MessageId id) {
    platform::ShowModalWarning(static_cast<uint32_t>(id), platform::OwnModuleCaption(), MessageText(id));
}

}  // namespace korvex
