#include <windows.h>

#include <dbt.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>

#include "portselect/PortChangeMessage.h"
#include "portselect/PortChangeWatch.h"

static_assert(kDeviceChangeMessage == WM_DEVICECHANGE);
static_assert(kDeviceArrival == DBT_DEVICEARRIVAL);
static_assert(kDeviceRemoveComplete == DBT_DEVICEREMOVECOMPLETE);
static_assert(kDeviceTypePort == DBT_DEVTYP_PORT);

namespace {

// Windows broadcasts a port's arrival and removal to every top-level window; the filter sees
// the messages of all the application's windows.
class DeviceChangeWatch : public PortChangeWatch, public QAbstractNativeEventFilter {
public:
    DeviceChangeWatch() {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->installNativeEventFilter(this);
    }
    ~DeviceChangeWatch() override {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG") return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (!IsDeviceArrivalOrRemoval(msg->message, msg->wParam) || msg->lParam == 0) return false;
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
        if (!IsPortDevice(header->dbch_devicetype)) return false;
        // The broadcast waits for every window's answer, so the listing runs after it; each
        // window gets its own copy of one change, so one listing serves them all.
        if (!m_pending) {
            m_pending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_pending = false;
                    emit PortsChanged();
                },
                Qt::QueuedConnection);
        }
        return false;  // the other windows may want it too
    }

private:
    bool m_pending = false;
};

}  // namespace

std::unique_ptr<PortChangeWatch> WatchSystemPorts() {
    return std::make_unique<DeviceChangeWatch>();
}
