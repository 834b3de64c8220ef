#include "platform/qt/MessageTarget.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {
namespace {

QEvent::Type PostedMessageType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct PostedMessage final : QEvent {
    PostedMessage(uint32_t m, uintptr_t w, intptr_t l)
        : QEvent(PostedMessageType()), message(m), wParam(w), lParam(l) {}
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

}  // namespace

MessageTarget::MessageTarget(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

void MessageTarget::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    QCoreApplication::postEvent(this, new PostedMessage(message, wParam, lParam));
}

bool MessageTarget::event(QEvent* e) {
    if (e->type() != PostedMessageType()) return QObject::event(e);
    const auto* m = static_cast<PostedMessage*>(e);
    if (handler_) handler_(m->message, m->wParam, m->lParam);
    return true;
}

}  // namespace platform
