#include "MessengerReceiver.h"

void MessengerReceiver::CopyData(uint dwData, const QByteArray& data) {
    if (handler_) {
        handler_(dwData, data);
    }
}
