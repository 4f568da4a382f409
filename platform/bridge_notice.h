#pragma once
#include <QString>

#include <functional>

namespace platform {

// Something a real bridge wants the operator or the technician to know: which device it
// opened, why an open failed. Failures of the ten operations themselves stay status codes.
struct BridgeNotice {
    enum class Kind {
        Info,          // a device was opened, or is being passed over
        Failure,       // an open or a close failed, with the library's reason
        AccessDenied,  // the device is there but the user may not open it
    };
    Kind kind = Kind::Info;
    QString text;
};

using BridgeNoticeHandler = std::function<void(const BridgeNotice&)>;

}  // namespace platform
