#include "tools/nativewindowwatch.h"

#include <QCoreApplication>
#include <QWidget>

#include <cstdint>
#include <cstring>

namespace {

// An X11 DestroyNotify event as the protocol lays it out (the layout the xcb library's
// xcb_destroy_notify_event_t gives it).
struct DestroyNotify {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};
constexpr std::uint8_t kDestroyNotify = 17;
// The bit the server sets on events another client sent.
constexpr std::uint8_t kSentEventBit = 0x80;

} // namespace

NativeWindowWatch::NativeWindowWatch(QWidget *watched)
    : QObject(watched)
    , m_watched(watched) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

NativeWindowWatch::~NativeWindowWatch() {
    if (QCoreApplication *application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
}

bool NativeWindowWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) {
    if (eventType != "xcb_generic_event_t" || !m_watched || !m_watched->internalWinId()) {
        return false;
    }
    DestroyNotify event{};
    std::memcpy(&event, message, sizeof event);
    if ((event.responseType & ~kSentEventBit) == kDestroyNotify
        && event.window == std::uint32_t(m_watched->internalWinId())) {
        Q_EMIT windowDestroyed();
    }
    return false; // Qt sees the event as well
}
